#include "host/destinations/ScratchFolder.h"

#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/win32.h"

namespace fs = std::filesystem;

namespace {

// What the signal handler removes: fixed in size, each entry written before
// it is marked ready, since a signal may come between any two instructions.
// Every member starts zeroed, so the table is constant-initialized in .bss
// and start-up writes none of its pages.
struct Remains {
    std::atomic<bool> ready{false};
    std::atomic<bool> entryReady{false};
    char folder[PATH_MAX] = {};
    char entry[PATH_MAX] = {};
};

constexpr int kSlots = 8;
Remains remains[kSlots];

// Called by the layer once its own temporaries are gone; unlink and rmdir
// are what a signal handler may call.
BOOL WINAPI RemoveRemains(DWORD) {
    for (Remains& slot : remains) {
        if (!slot.ready.load())
            continue;
        if (slot.entryReady.load())
            unlink(slot.entry);
        rmdir(slot.folder);
    }
    return FALSE;
}

int Claim(const std::string& folder) {
    static const bool handled = SetConsoleCtrlHandler(RemoveRemains, TRUE) != FALSE;
    if (!handled || folder.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        if (remains[i].ready.load())
            continue;
        std::memcpy(remains[i].folder, folder.c_str(), folder.size() + 1);
        remains[i].entryReady.store(false);
        remains[i].ready.store(true);
        return i;
    }
    return -1;
}

}  // namespace

ScratchFolder::ScratchFolder(const std::string& parent) {
    std::string pattern = (parent.empty() ? std::string(".") : parent) + "/.morvex-XXXXXX";
    // No signal comes between the folder's making and its entry in the table.
    sigset_t held, previous;
    sigemptyset(&held);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaddset(&held, signal);
    pthread_sigmask(SIG_BLOCK, &held, &previous);
    if (mkdtemp(&pattern[0]) == nullptr)
        failure = std::strerror(errno);
    else
        path = pattern;
    if (!path.empty())
        slot = Claim(path);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
}

// The folder stays in the table until it is gone: a signal that comes while
// it is being removed removes it all the same.
ScratchFolder::~ScratchFolder() {
    if (!path.empty()) {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    if (slot >= 0)
        remains[slot].ready.store(false);
}

void ScratchFolder::Expect(const std::string& name) {
    const std::string entry = path + "/" + name;
    if (slot < 0 || entry.size() >= PATH_MAX)
        return;
    // The entry is not read while it changes, so the handler never reads half
    // of it; the folder is removed meanwhile all the same.
    remains[slot].entryReady.store(false);
    std::memcpy(remains[slot].entry, entry.c_str(), entry.size() + 1);
    remains[slot].entryReady.store(true);
}

std::vector<std::string> ScratchFolder::Entries() const {
    std::vector<std::string> entries;
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path().string());
    return entries;
}

std::string ScratchFolder::TemporaryRoot() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
}
