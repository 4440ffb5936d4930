// What the process removes when a signal ends it: the temporaries the layer
// writes a file under before it takes the file's place. SIGINT, SIGTERM,
// SIGHUP and SIGPIPE first remove every temporary registered, then call the
// console control handlers (SetConsoleCtrlHandler), then end the process as
// the signal would have (the action in force before); a signal the process
// ignores stays ignored.
#pragma once

#include <csignal>
#include <string>

namespace mvx {

// `path` is removed should a signal end the process before KeepOnSignal.
void RemoveOnSignal(const std::string& path);

// `path` is no temporary any more: renamed into place, or deleted.
void KeepOnSignal(const std::string& path);

// Holds those signals back while it lives; they come once it is gone. Around
// the making of a temporary and its RemoveOnSignal, so that no signal falls
// between the two; around a rewrite that must end whole.
class SignalsHeld {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t previous_;
};

}  // namespace mvx
