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
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mvx {
namespace {

constexpr int kSlots = 64;
constexpr int kHandlers = 8;
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
// The descriptors a signal looks through for those of a temporary.
constexpr rlim_t kMostDescriptors = 65536;

enum SlotState { kFree, kFilling, kReady };

// Every member starts zeroed, so the slots are constant-initialized in .bss
// and start-up writes none of their 64 pages.
struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX] = {};
    dev_t device = 0;  // the temporary's identity, 0:0 when unknown
    ino_t inode = 0;
};

Slot slots[kSlots];
int deadEnd = -1;  // /dev/null for reading, which takes the place of a temporary's descriptors
std::atomic<PHANDLER_ROUTINE> handlers[kHandlers];
struct sigaction previous[NSIG];

DWORD EventOf(int signal) {
    switch (signal) {
        case SIGINT: return CTRL_C_EVENT;
        case SIGTERM: return CTRL_SHUTDOWN_EVENT;
        default: return CTRL_CLOSE_EVENT;  // SIGHUP, SIGPIPE: the other end went away
    }
}

// A file unlinked while a descriptor holds it stays on a FUSE volume as a
// hidden entry until that descriptor closes, which would keep its folder
// from being removed. So the descriptors that hold a temporary are first
// pointed at /dev/null, opened for reading: a write still in flight fails,
// and no other file can take the descriptor's number meanwhile.
void LetGoOf(const Slot& slot) {
    if (deadEnd < 0 || (slot.device == 0 && slot.inode == 0)) return;
    struct rlimit limit {};
    const rlim_t open = getrlimit(RLIMIT_NOFILE, &limit) == 0 ? limit.rlim_cur : 1024;
    const int last = static_cast<int>(open < kMostDescriptors ? open : kMostDescriptors);
    for (int fd = 0; fd < last; ++fd) {
        struct stat status;
        if (fd != deadEnd && fstat(fd, &status) == 0 && status.st_dev == slot.device &&
            status.st_ino == slot.inode)
            dup2(deadEnd, fd);
    }
}

void OnSignal(int signal) {
    const int savedErrno = errno;
    for (Slot& slot : slots) {
        if (slot.state.load() != kReady) continue;
        LetGoOf(slot);
        unlink(slot.path);
    }
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
        deadEnd = open("/dev/null", O_RDONLY | O_CLOEXEC);
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
        struct stat status {};
        const bool known = stat(path.c_str(), &status) == 0;
        slot.device = known ? status.st_dev : 0;
        slot.inode = known ? status.st_ino : 0;
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
