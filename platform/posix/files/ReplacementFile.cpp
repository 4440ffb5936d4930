#include "platform/posix/files/ReplacementFile.h"

#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/SignalCleanup.h"
#include "platform/posix/files/KeptTraits.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mvx {
namespace {

// Names already taken by others are passed over this often before giving up.
constexpr int kNameAttempts = 100;

std::string DirectoryPartOf(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// Hidden, and unique within the process and among processes.
std::string TemporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return DirectoryPartOf(target) + ".~morvex-" + std::to_string(getpid()) + "-" +
           std::to_string(counter++) + ".tmp";
}

// Makes the temporary `name`, marked for removal with no signal in between;
// the descriptor, or -1 with errno set.
int MakeTemporary(const std::string& name, mode_t mode) {
    SignalsHeld held;
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
    const int err = errno;
    if (fd >= 0) RemoveOnSignal(name);
    errno = err;
    return fd;
}

// A file system that knows no RENAME_NOREPLACE gets a plain rename; the
// target was found missing just before.
int RenameInPlace(const std::string& from, const std::string& to, bool failIfExists) {
    if (failIfExists && renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(),
                                  RENAME_NOREPLACE) == 0)
        return 0;
    if (failIfExists && errno != EINVAL && errno != ENOSYS) return errno;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

ReplacementFile::~ReplacementFile() {
    if (temporary_.empty()) return;
    unlink(temporary_.c_str());
    KeepOnSignal(temporary_);
}

DWORD ReplacementFile::Create(const std::string& target, const FileStatus* existing,
                              mode_t newMode) {
    target_ = target;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = TemporaryName(target);
        file_ = Descriptor(MakeTemporary(name, newMode));
        if (!file_.IsOpen() && errno == EEXIST) continue;
        if (!file_.IsOpen()) return ErrorFromErrnoAt(errno, target);
        temporary_ = name;
        replaces_ = existing != nullptr;
        if (!existing) return NO_ERROR;
        // Giving the file away is a privilege; without it, it stays the copier's.
        if (existing->owner != geteuid() || existing->group != getegid())
            (void)!fchown(file_.Get(), existing->owner, existing->group);
        return fchmod(file_.Get(), existing->mode) == 0 ? NO_ERROR : ErrorFromErrno(errno);
    }
    return ERROR_FILE_EXISTS;
}

DWORD ReplacementFile::Commit(bool failIfExists) {
    if (file_.Close() != 0) return ErrorFromErrnoAt(errno, target_);
    // What the replaced file was besides its bytes, its own streams first,
    // stays with its name, as it would had it been written in place.
    if (replaces_) {
        const DWORD error = KeepTraits(target_, temporary_);
        if (error != NO_ERROR) return error;
    }
    const int err = RenameInPlace(temporary_, target_, failIfExists);
    if (err == EEXIST) return ERROR_FILE_EXISTS;
    if (err != 0) return ErrorFromErrnoAt(err, target_);
    KeepOnSignal(temporary_);
    temporary_.clear();
    return NO_ERROR;
}

}  // namespace mvx
