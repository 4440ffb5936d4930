// SetCurrentDirectoryA: the process's current directory and its drive's, kept
// with the other drives' in the drive map as Windows keeps them. The layer
// took the Linux working directory once and never follows a later chdir: a
// host changes the current directory through this call.
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/files/DriveMap.h"
#include "platform/posix/files/FileStatus.h"
#include "platform/posix/files/ResolvedName.h"
#include "platform/posix/text/AnsiNames.h"

#include <cerrno>
#include <unistd.h>

namespace mvx {
namespace {

// Only an existing directory that may be entered becomes current.
BOOL SetCurrent(LPCSTR name) {
    if (!name) return Fail(ERROR_INVALID_PARAMETER);
    std::string utf8;
    ResolvedName resolved;
    if (!AnsiNameToUtf8(name, utf8) || !ResolveUtf8Name(utf8, resolved)) return FALSE;
    if (resolved.hasStream) return Fail(ERROR_INVALID_NAME);
    FileStatus status;
    if (!QueryPathStatus(resolved.path, status)) return FailErrno(errno, resolved.path);
    if (!status.isDirectory) return Fail(ERROR_DIRECTORY);
    if (access(resolved.path.c_str(), X_OK) != 0) return FailErrno(errno, resolved.path);
    SetCurrentDirectory(utf8);
    return TRUE;
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI SetCurrentDirectoryA(LPCSTR name) {
    if (mvx::FaultHit("SetCurrentDirectoryA")) return FALSE;
    return mvx::GuardedCall<BOOL>(FALSE, [&] { return mvx::SetCurrent(name); });
}
