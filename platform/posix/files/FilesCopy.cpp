// CopyFileA between files and named streams (the extended attributes of a
// file or a directory that SambaStreams.h names, or the paths FILE:NAME where
// a volume gives streams so), with the refusals and error codes of Windows. A
// file copied to a file takes only the data: the user of a Linux tree expects
// a plain copy, not one that carries the streams along. As cp does, a new
// file takes the permission bits of the file read, without setuid, setgid and
// sticky, under the umask; a file replaced keeps its mode, its owner and its
// own streams (KeptTraits.h); and a symbolic link at the target is replaced,
// never followed.
// Nothing is ever left half written: a file is written under a temporary name
// and renamed over the target, a stream is set whole by one setxattr, and a
// stream larger than the file system lets one attribute hold is refused with
// ERROR_FILE_TOO_LARGE, the target left as it was (kErrorStreamBeyondAttribute
// on a FUSE volume, where a mount that gives streams as paths would take it).
// A pipe or a device at the target is written into, not replaced.
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/LayerErrors.h"
#include "platform/posix/files/CopySource.h"
#include "platform/posix/files/ExtendedAttributes.h"
#include "platform/posix/files/FileAccess.h"
#include "platform/posix/files/FileStatus.h"
#include "platform/posix/files/OpenWithoutWaiting.h"
#include "platform/posix/files/PathStreamWrite.h"
#include "platform/posix/files/PlainFormMemo.h"
#include "platform/posix/files/ReplacementFile.h"
#include "platform/posix/files/SambaStreams.h"
#include "platform/posix/files/StreamPaths.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/limits.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace mvx {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

BOOL Finish(DWORD error) { return error == NO_ERROR ? TRUE : Fail(error); }

bool SameStream(const FileIdentity& a, const FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.stream == b.stream;
}

// Past the kernel's 64 KiB a FUSE volume (ntfs-3g) has another way to take
// the stream; elsewhere the limit is the file system's.
// The file need not exist yet: its directory is on the same volume.
DWORD StreamTooLargeError(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('/');
    const std::string volumePath = access(path.c_str(), F_OK) == 0 ? path
                                   : slash == std::string::npos ? "."
                                                                : path.substr(0, slash + 1);
    return AttributeFile::OfPath(volumePath).OnFuse() ? kErrorStreamBeyondAttribute
                                                      : ERROR_FILE_TOO_LARGE;
}

// ext4 refuses a value that does not fit its attribute space with ENOSPC
// while the disk has room: that is the size limit of one stream, which the
// kernel reports as E2BIG past 64 KiB. Only a disk without free blocks is full.
DWORD StreamWriteError(int err, const std::string& path) {
    struct statvfs volume;
    if (err == EEXIST) return ERROR_FILE_EXISTS;
    if (err == E2BIG) return StreamTooLargeError(path);
    if (err == ENOSPC && statvfs(path.c_str(), &volume) == 0 && volume.f_bavail > 0)
        return ERROR_FILE_TOO_LARGE;
    return ErrorFromErrnoAt(err, path);
}

// One setxattr replaces the value whole or not at all.
DWORD SetStream(const std::string& path, const StreamAttribute& where, const std::string& data,
                bool failIfExists) {
    const std::string value = AttributeValueOf(where, data);
    if (setxattr(path.c_str(), where.attribute.c_str(), value.data(), value.size(),
                 failIfExists ? XATTR_CREATE : 0) == 0)
        return NO_ERROR;
    return StreamWriteError(errno, path);
}

// Windows makes the file that is to hold a new stream; it goes again when the
// stream cannot be written.
DWORD SetStreamOfNewFile(const ResolvedName& target, const std::string& value) {
    const std::string& path = target.path;
    if (path.back() == '/') return ERROR_PATH_NOT_FOUND;
    Descriptor created(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!created.IsOpen() && errno != EEXIST) return ErrorFromErrnoAt(errno, path);
    StreamAttribute where;
    DWORD error = LocateAttributeStream(AttributeFile::OfPath(path), target.stream, where);
    if (error == NO_ERROR) error = SetStream(path, where, value, false);
    if (error != NO_ERROR && created.IsOpen()) unlink(path.c_str());
    return error;
}

// The checks Windows makes on a target that exists, in its order; the claim
// then holds the target against handles that do not share writing.
DWORD CheckExistingTarget(const CopySource& source, const FileStatus& target,
                          const std::string& stream, bool failIfExists, ShareClaim& claim) {
    FileIdentity identity = target.identity;
    identity.stream = stream;
    if (target.isDirectory && stream.empty()) return ERROR_ACCESS_DENIED;
    if (failIfExists && stream.empty()) return ERROR_FILE_EXISTS;
    // Copying a file or stream onto itself would destroy what is read.
    if (SameStream(source.Identity(), identity))
        return failIfExists ? ERROR_FILE_EXISTS : ERROR_SHARING_VIOLATION;
    if (!target.isDirectory && (target.attributes & FILE_ATTRIBUTE_READONLY))
        return ERROR_ACCESS_DENIED;
    return claim.Acquire(identity, kFileWriteData, kShareAll) ? NO_ERROR : GetLastError();
}

// What the source holds, when one attribute value can take it with the trailer.
DWORD ReadStreamSource(const CopySource& source, const StreamAttribute& where,
                       const std::string& path, std::string& value) {
    const DWORD error = source.ReadWhole(XATTR_SIZE_MAX - where.trailer, value);
    return error == ERROR_FILE_TOO_LARGE ? StreamTooLargeError(path) : error;
}

// A file made to hold the stream has no Samba attributes: the stream is plain.
DWORD CopyToNewFileStream(const CopySource& source, const ResolvedName& target) {
    std::string value;
    const DWORD error = ReadStreamSource(source, StreamAttribute(), target.path, value);
    return error != NO_ERROR ? error : SetStreamOfNewFile(target, value);
}

DWORD CopyToStream(const CopySource& source, const ResolvedName& target, bool failIfExists) {
    FileStatus status;
    const bool exists = QueryPathStatus(target.path, status);
    if (!exists && errno != ENOENT) return ErrorFromErrnoAt(errno, target.path);
    ShareClaim claim;
    if (exists) {
        const DWORD error = CheckExistingTarget(source, status, target.stream, failIfExists, claim);
        if (error != NO_ERROR) return error;
    }
    if (HasPathStreams(target.path)) return WritePathStream(source, target, exists, failIfExists);
    if (!exists) return CopyToNewFileStream(source, target);
    const AttributeFile file = AttributeFile::OfPath(target.path);
    StreamAttribute where;
    DWORD error = LocateRememberedStream(file, status, target.stream, where);
    if (error != NO_ERROR) return error;
    bool present = false;
    std::size_t size = 0;
    QueryAttributeSize(file, where.attribute, present, size);
    if (failIfExists && present) return ERROR_FILE_EXISTS;
    std::string value;
    error = ReadStreamSource(source, where, target.path, value);
    if (error == NO_ERROR) error = SetStream(target.path, where, value, failIfExists);
    if (error == NO_ERROR) RememberAfterChange(target.path, status.identity, where);
    return error;
}

// A pipe or a device has no place to rename a copy into: the data is
// written into it, as cp writes into one. What was written stays written
// should the copy fail.
DWORD CopyIntoSpecialFile(const CopySource& source, const std::string& path) {
    Descriptor file(OpenWithoutWaiting(path, O_WRONLY | O_NOFOLLOW, 0));
    if (!file.IsOpen()) return ErrorFromErrnoAt(errno, path);
    const DWORD error = source.WriteTo(file.Get());
    if (error != NO_ERROR) return error;
    return file.Close() == 0 ? NO_ERROR : ErrorFromErrnoAt(errno, path);
}

// A symbolic link at the target is replaced as a new file would be, never
// followed: a link planted in the destination must not lead the copy (often
// root's) to another file, nor lend it that file's mode.
DWORD CopyToFile(const CopySource& source, const ResolvedName& target, bool failIfExists) {
    FileStatus status;
    const bool exists = QueryLinkStatus(target.path, status);
    if (!exists && errno != ENOENT) return ErrorFromErrnoAt(errno, target.path);
    if (exists && status.isSpecial && !status.isLink && !failIfExists)
        return CopyIntoSpecialFile(source, target.path);
    // Only a directory can be named with a trailing separator.
    if (!exists && target.path.back() == '/') return ERROR_INVALID_NAME;
    if (exists && status.isLink && failIfExists) return ERROR_FILE_EXISTS;
    const bool replacesFile = exists && !status.isLink;
    ShareClaim claim;
    if (replacesFile) {
        const DWORD error = CheckExistingTarget(source, status, "", failIfExists, claim);
        if (error != NO_ERROR) return error;
    }
    ReplacementFile file;
    DWORD error =
        file.Create(target.path, replacesFile ? &status : nullptr, source.NewFileMode());
    if (error == NO_ERROR) error = source.WriteTo(file.FileDescriptor());
    if (error == NO_ERROR) error = file.Commit(failIfExists);
    return error;
}

// The source is read as Windows opens it, sharing reading and deleting.
BOOL Copy(LPCSTR existing, LPCSTR newName, bool failIfExists) {
    ResolvedName from, to;
    CopySource source;
    if (!ResolveName(existing, from) || !source.Open(from)) return FALSE;
    ShareClaim reading;
    if (!reading.Acquire(source.Identity(), kFileReadData, FILE_SHARE_READ | FILE_SHARE_DELETE))
        return FALSE;
    if (!ResolveName(newName, to)) return FALSE;
    return Finish(to.hasStream ? CopyToStream(source, to, failIfExists)
                               : CopyToFile(source, to, failIfExists));
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI CopyFileA(LPCSTR existing, LPCSTR newName, BOOL failIfExists) {
    if (mvx::FaultHit("CopyFileA")) return FALSE;
    return mvx::GuardedCall<BOOL>(
        FALSE, [&] { return mvx::Copy(existing, newName, failIfExists != FALSE); });
}
