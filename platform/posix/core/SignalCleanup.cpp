// Everything a signal handler touches is fixed in size and written before it
// is marked ready, since the handler may run between any two instructions:
// it only reads the marks, unlinks, and calls what was registered.
#include "platform/posix/core/SignalCleanup.h"

#include "platform/posix/Win32Functions.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>
#include <pthread.h>
#include <unistd.h>

namespace mvx {
namespace {

constexpr int kSlots = 64;
constexpr int kHandlers = 8;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

enum SlotState { kFree, kFilling, kReady };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

Slot slots[kSlots];
std::atomic<PHANDLER_ROUTINE> handlers[kHandlers];
struct sigaction previous[NSIG];

DWORD EventOf(int signal) {
    switch (signal) {
        case SIGINT: return CTRL_C_EVENT;
        case SIGTERM: return CTRL_SHUTDOWN_EVENT;
        default: return CTRL_CLOSE_EVENT;  // SIGHUP, SIGPIPE: the other end went away
    }
}

void OnSignal(int signal) {
    const int savedErrno = errno;
    for (Slot& slot : slots)
        if (slot.state.load() == kReady) unlink(slot.path);
    for (int i = kHandlers - 1; i >= 0; --i) {
        const PHANDLER_ROUTINE handler = handlers[i].load();
        if (handler != nullptr && handler(EventOf(signal))) {
            errno = savedErrno;
            return;  // handled: the process goes on, as on Windows
        }
    }
    // End as the signal would have: the action in force before ours takes
    // the signal again once this handler returns and unblocks it.
    sigaction(signal, &previous[signal], nullptr);
    raise(signal);
    errno = savedErrno;
}

void InstallOnce() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        for (int signal : kSignals) {
            struct sigaction action {};
            action.sa_handler = OnSignal;
            sigemptyset(&action.sa_mask);
            sigaction(signal, nullptr, &previous[signal]);
            if (previous[signal].sa_handler != SIG_IGN) sigaction(signal, &action, nullptr);
        }
    });
}

}  // namespace

SignalsHeld::SignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : kSignals) sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

SignalsHeld::~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

void RemoveOnSignal(const std::string& path) {
    if (path.size() >= PATH_MAX) return;
    InstallOnce();
    for (Slot& slot : slots) {
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state.store(kReady);
        return;
    }
}

void KeepOnSignal(const std::string& path) {
    for (Slot& slot : slots) {
        int expected = kReady;
        if (std::strcmp(slot.path, path.c_str()) == 0 &&
            slot.state.compare_exchange_strong(expected, kFilling)) {
            slot.state.store(kFree);
            return;
        }
    }
}

bool AddConsoleHandler(PHANDLER_ROUTINE handler) {
    InstallOnce();
    for (auto& slot : handlers) {
        PHANDLER_ROUTINE expected = nullptr;
        if (slot.compare_exchange_strong(expected, handler)) return true;
    }
    return false;
}

bool RemoveConsoleHandler(PHANDLER_ROUTINE handler) {
    for (auto& slot : handlers) {
        PHANDLER_ROUTINE expected = handler;
        if (slot.compare_exchange_strong(expected, nullptr)) return true;
    }
    return false;
}

}  // namespace mvx

extern "C" BOOL WINAPI SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add) {
    if (handler == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (add ? mvx::AddConsoleHandler(handler) : mvx::RemoveConsoleHandler(handler)) return TRUE;
    SetLastError(add ? ERROR_NOT_ENOUGH_MEMORY : ERROR_INVALID_PARAMETER);
    return FALSE;
}
