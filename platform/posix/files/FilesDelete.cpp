// DeleteFileA: a file, or a named stream (its extended attribute, see
// SambaStreams.h, or the path FILE:NAME where streams are paths), refused
// where Windows refuses it: a directory or a
// read-only file with ERROR_ACCESS_DENIED, a file or stream that a handle of
// this process holds without FILE_SHARE_DELETE with ERROR_SHARING_VIOLATION.
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/SignalCleanup.h"
#include "platform/posix/files/FileStatus.h"
#include "platform/posix/files/PlainFormMemo.h"
#include "platform/posix/files/ResolvedName.h"
#include "platform/posix/files/StreamPaths.h"

#include <cerrno>
#include <sys/xattr.h>
#include <unistd.h>

namespace mvx {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

BOOL RemovePathStream(const ResolvedName& target) {
    std::string streamPath;
    const DWORD error = StreamPathOf(target.path, target.stream, streamPath);
    if (error != NO_ERROR) return Fail(error);
    if (unlink(streamPath.c_str()) == 0) return TRUE;
    return errno == ENOENT ? Fail(ERROR_FILE_NOT_FOUND) : FailErrno(errno, target.path);
}

// A file found plain a moment ago is not listed again (PlainFormMemo.h). A
// file system without user attributes holds no stream to delete.
BOOL RemoveStream(const ResolvedName& target, const FileStatus& status) {
    if (HasPathStreams(target.path)) return RemovePathStream(target);
    StreamAttribute where;
    const DWORD error = LocateRememberedStream(AttributeFile::OfPath(target.path), status,
                                               target.stream, where);
    if (error != NO_ERROR) return Fail(error);
    if (removexattr(target.path.c_str(), where.attribute.c_str()) == 0) {
        RememberAfterChange(target.path, status.identity, where);
        return TRUE;
    }
    const int err = errno;
    if (err == ENODATA || err == ENOTSUP) return Fail(ERROR_FILE_NOT_FOUND);
    return FailErrno(err, target.path);
}

BOOL RemoveFile(const ResolvedName& target) {
    if (unlink(target.path.c_str()) == 0) {
        KeepOnSignal(target.path);
        return TRUE;
    }
    return FailErrno(errno, target.path);
}

// Whether `target` names a symbolic link itself, whose own attributes are
// never read-only on Linux.
bool IsLinkItself(const ResolvedName& target) {
    FileStatus link;
    return !target.hasStream && QueryLinkStatus(target.path, link) && link.isLink;
}

// A symbolic link is deleted itself, as Windows deletes a link, not its target.
BOOL Delete(LPCSTR name) {
    ResolvedName target;
    if (!ResolveName(name, target)) return FALSE;
    FileStatus status;
    if (!QueryEntryStatus(target.path, status)) return FailErrno(errno, target.path);
    if (status.isDirectory && !target.hasStream) return Fail(ERROR_ACCESS_DENIED);
    if ((status.attributes & FILE_ATTRIBUTE_READONLY) && !IsLinkItself(target))
        return Fail(ERROR_ACCESS_DENIED);
    // Held while the name goes, so no handle that forbids deleting opens meanwhile.
    FileIdentity identity = status.identity;
    identity.stream = target.stream;
    ShareClaim claim;
    if (!claim.Acquire(identity, DELETE, kShareAll)) return FALSE;
    return target.hasStream ? RemoveStream(target, status) : RemoveFile(target);
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI DeleteFileA(LPCSTR name) {
    if (mvx::FaultHit("DeleteFileA")) return FALSE;
    return mvx::GuardedCall<BOOL>(FALSE, [&] { return mvx::Delete(name); });
}
