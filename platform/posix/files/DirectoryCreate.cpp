// CreateDirectoryA: one directory, never its missing parents. The security
// attributes are not applied: the new directory gets the default mode (0777
// less the umask), as a Linux user expects.
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/files/ResolvedName.h"

#include <cerrno>
#include <sys/stat.h>

namespace mvx {
namespace {

// Any entry of that name, a file too, already exists; a parent that is
// missing or no directory is a path not found.
BOOL Create(LPCSTR name) {
    ResolvedName resolved;
    if (!ResolveName(name, resolved)) return FALSE;
    if (resolved.hasStream) return Fail(ERROR_INVALID_NAME);
    if (mkdir(resolved.path.c_str(), 0777) == 0) return TRUE;
    const int err = errno;
    if (err == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
    if (err == ENOENT || err == ENOTDIR) return Fail(ERROR_PATH_NOT_FOUND);
    return Fail(ErrorFromErrno(err));
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES) {
    if (mvx::FaultHit("CreateDirectoryA")) return FALSE;
    return mvx::GuardedCall<BOOL>(FALSE, [&] { return mvx::Create(name); });
}
