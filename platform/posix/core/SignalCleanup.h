// What the process removes when a signal ends it: the temporaries the layer
// writes a file under before it takes the file's place. SIGINT, SIGTERM,
// SIGHUP and SIGPIPE first remove every temporary registered, then call the
// console control handlers (SetConsoleCtrlHandler), then end the process as
// the signal would have; a signal the process ignores stays ignored.
#pragma once

#include <string>

namespace mvx {

// `path` is removed should a signal end the process before KeepOnSignal.
void RemoveOnSignal(const std::string& path);

// `path` is no temporary any more: renamed into place, or deleted.
void KeepOnSignal(const std::string& path);

}  // namespace mvx
