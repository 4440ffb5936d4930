// MoveFileExA and ReplaceFileA between files of one volume, each one rename:
// the new name holds the old file or the whole new one, never a part. A
// symbolic link at the new name is replaced, never followed. ReplaceFileA
// keeps what the replaced file was, as Windows keeps its attributes, security
// and streams: its mode, owner and extended attributes. Streams are not moved.
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/SignalCleanup.h"
#include "platform/posix/files/FileStatus.h"
#include "platform/posix/files/KeptTraits.h"
#include "platform/posix/files/ResolvedName.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace mvx {
namespace {

bool ResolveFileName(LPCSTR name, ResolvedName& resolved) {
    if (!ResolveName(name, resolved)) return false;
    return resolved.hasStream ? Fail(ERROR_INVALID_PARAMETER) : true;
}

// A file system that knows no RENAME_NOREPLACE gets a plain rename after a look.
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    FileStatus status;
    if (QueryLinkStatus(to, status)) return EEXIST;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

BOOL Move(LPCSTR existing, LPCSTR newName, DWORD flags) {
    ResolvedName from, to;
    if (!ResolveFileName(existing, from) || !ResolveFileName(newName, to)) return FALSE;
    FileStatus status;
    if (QueryLinkStatus(to.path, status) && status.isDirectory) return Fail(ERROR_ACCESS_DENIED);
    const int err = (flags & MOVEFILE_REPLACE_EXISTING)
                        ? (rename(from.path.c_str(), to.path.c_str()) == 0 ? 0 : errno)
                        : RenameNoReplace(from.path, to.path);
    if (err == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
    if (err != 0) return FailErrno(err, to.path);
    KeepOnSignal(from.path);
    return TRUE;
}

BOOL Replace(LPCSTR replaced, LPCSTR replacement, LPCSTR backup) {
    if (backup != nullptr) return Fail(ERROR_NOT_SUPPORTED);
    ResolvedName target, source;
    if (!ResolveFileName(replaced, target) || !ResolveFileName(replacement, source)) return FALSE;
    FileStatus status;
    if (!QueryLinkStatus(target.path, status)) return FailErrno(errno, target.path);
    if (status.isDirectory) return Fail(ERROR_ACCESS_DENIED);
    // A link or a device at the name is replaced as a new file would be.
    if (!status.isLink && !status.isSpecial) {
        const DWORD error = KeepTraits(target.path, source.path);
        if (error != NO_ERROR) return Fail(error);
    }
    if (rename(source.path.c_str(), target.path.c_str()) != 0) return FailErrno(errno, target.path);
    KeepOnSignal(source.path);
    return TRUE;
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags) {
    if (mvx::FaultHit("MoveFileExA")) return FALSE;
    return mvx::GuardedCall<BOOL>(FALSE, [&] { return mvx::Move(existing, newName, flags); });
}

extern "C" BOOL WINAPI ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD,
                                    LPVOID, LPVOID) {
    if (mvx::FaultHit("ReplaceFileA")) return FALSE;
    return mvx::GuardedCall<BOOL>(FALSE,
                                  [&] { return mvx::Replace(replaced, replacement, backup); });
}
