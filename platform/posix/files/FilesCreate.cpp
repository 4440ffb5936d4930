// CreateFileA: files and, with backup semantics, directories, with the
// dispositions, share modes and error codes of Windows.
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/SignalCleanup.h"
#include "platform/posix/files/FileObject.h"
#include "platform/posix/files/FileStatus.h"
#include "platform/posix/files/OpenWithoutWaiting.h"
#include "platform/posix/files/ResolvedName.h"
#include "platform/posix/files/StreamPaths.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>

namespace mvx {
namespace {

struct OpenRequest {
    ResolvedName name;
    DWORD access;  // specific rights
    DWORD shareMode;
    DWORD disposition;
    DWORD flags;
    HANDLE templateFile;
};

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

HANDLE FailErrno(int err, const std::string& path) {
    SetLastErrorFromErrno(err, path);
    return INVALID_HANDLE_VALUE;
}

bool Creates(DWORD disposition) {
    return disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
}

bool Truncates(DWORD disposition) {
    return disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
}

// An open that reads and writes no data (attributes, security) is allowed
// where the file cannot be read; such a descriptor serves fstat and paths.
int OpenDescriptor(const std::string& path, int flags, mode_t mode, bool needsData) {
    int fd = OpenWithoutWaiting(path, flags, mode);
    if (fd < 0 && errno == EACCES && !needsData && !(flags & O_CREAT))
        fd = open(path.c_str(), O_PATH | O_CLOEXEC | (flags & O_DIRECTORY));
    return fd;
}

// The file is truncated only once its sharing allows this handle in, so a
// refused open never destroys data another handle protects.
HANDLE Register(const OpenRequest& request, Descriptor fd, bool isDirectory, bool existed) {
    FileStatus status;
    if (!QueryDescriptorStatus(fd.Get(), status)) return FailErrno(errno, request.name.path);
    status.identity.stream = request.name.stream;
    auto object = std::make_shared<FileObject>(std::move(fd), request.name, isDirectory,
                                               request.access, request.shareMode);
    if (!object->ClaimSharing(status.identity)) return INVALID_HANDLE_VALUE;
    if (existed && Truncates(request.disposition) && ftruncate64(object->FileDescriptor(), 0) != 0)
        return FailErrno(errno, request.name.path);
    HANDLE handle = AddHandle(std::move(object));
    const bool reportsExisting =
        existed && (request.disposition == CREATE_ALWAYS || request.disposition == OPEN_ALWAYS);
    SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : NO_ERROR);
    return handle;
}

// A new file takes the attributes of its template, as on Windows; on Linux
// those are its permission bits, without setuid, setgid and sticky, as cp
// gives a copy. The umask applies on top.
mode_t NewFileMode(const OpenRequest& request) {
    const mode_t plain = (request.flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    if (request.templateFile == nullptr || request.templateFile == INVALID_HANDLE_VALUE)
        return plain;
    auto model = LookUpHandle<FileObject>(request.templateFile);
    FileStatus status;
    if (!model || !QueryDescriptorStatus(model->FileDescriptor(), status)) return plain;
    return status.mode & 0777;
}

// CREATE_ALWAYS makes a new file where a symbolic link stands: the link is
// replaced, never followed, so that a link planted in a destination cannot
// lead the write (often root's) to another file. False with errno set.
bool RemoveLinkAt(const std::string& path) {
    FileStatus status;
    if (!QueryLinkStatus(path, status)) return errno == ENOENT;
    return !status.isLink || unlink(path.c_str()) == 0;
}

// Asked for the entry itself, a symbolic link is not followed; a link holds
// no data here to be opened.
bool OpensLinkItself(const OpenRequest& request) {
    return (request.flags & FILE_FLAG_OPEN_REPARSE_POINT) != 0;
}

HANDLE OpenDirectory(const OpenRequest& request) {
    if (request.disposition == CREATE_NEW) return Fail(ERROR_FILE_EXISTS);
    if (!(request.flags & FILE_FLAG_BACKUP_SEMANTICS) || Truncates(request.disposition))
        return Fail(ERROR_ACCESS_DENIED);
    Descriptor fd(OpenDescriptor(request.name.path, O_RDONLY | O_DIRECTORY, 0, false));
    if (!fd.IsOpen()) return FailErrno(errno, request.name.path);
    return Register(request, std::move(fd), true, true);
}

int DataFlags(const OpenRequest& request) {
    const bool reads = ReadsData(request.access);
    const bool writes = WritesData(request.access) || Truncates(request.disposition);
    return reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY;
}

HANDLE OpenFile(const OpenRequest& request, bool existed) {
    const std::string& path = request.name.path;
    if (existed && request.disposition == CREATE_NEW) return Fail(ERROR_FILE_EXISTS);
    if (!existed && !Creates(request.disposition)) return FailErrno(ENOENT, path);
    // Only a directory can be named with a trailing separator.
    if (!existed && path.back() == '/') return Fail(ERROR_INVALID_NAME);
    int flags = DataFlags(request);
    if (!existed) flags |= O_CREAT | (request.disposition == CREATE_NEW ? O_EXCL : 0);
    // A link planted after RemoveLinkAt looked fails the open.
    if (request.disposition == CREATE_ALWAYS || OpensLinkItself(request)) flags |= O_NOFOLLOW;
    const mode_t mode = NewFileMode(request);
    const bool needsData = ReadsData(request.access) || WritesData(request.access);
    // A temporary made to take another file's place goes should a signal end
    // the process before it is renamed or deleted: no signal comes between
    // its making and its mark.
    const bool temporary = !existed && (request.flags & FILE_ATTRIBUTE_TEMPORARY);
    std::optional<SignalsHeld> held;
    if (temporary) held.emplace();
    Descriptor fd(OpenDescriptor(path, flags, mode, needsData));
    if (!fd.IsOpen()) return errno == EEXIST ? Fail(ERROR_FILE_EXISTS) : FailErrno(errno, path);
    if (temporary) RemoveOnSignal(path);
    held.reset();
    return Register(request, std::move(fd), false, existed);
}

// A stream that is a path opens as the file it is. A stream kept as an
// extended attribute has no handle of its own.
HANDLE OpenStream(OpenRequest& request) {
    if (!HasPathStreams(request.name.path)) return Fail(ERROR_NOT_SUPPORTED);
    std::string streamPath;
    const DWORD error = StreamPathOf(request.name.path, request.name.stream, streamPath);
    if (error != NO_ERROR) return Fail(error);
    request.name.path = streamPath;
    FileStatus status;
    const bool existed = QueryPathStatus(streamPath, status);
    if (!existed && errno != ENOENT) return FailErrno(errno, streamPath);
    return OpenFile(request, existed);
}

HANDLE Open(OpenRequest& request, LPCSTR name) {
    if (request.disposition < CREATE_NEW || request.disposition > TRUNCATE_EXISTING)
        return Fail(ERROR_INVALID_PARAMETER);
    if (request.disposition == TRUNCATE_EXISTING && !WritesData(request.access))
        return Fail(ERROR_INVALID_PARAMETER);
    if (!ResolveName(name, request.name)) return INVALID_HANDLE_VALUE;
    if (request.name.hasStream) return OpenStream(request);
    if (request.disposition == CREATE_ALWAYS && !RemoveLinkAt(request.name.path))
        return FailErrno(errno, request.name.path);
    FileStatus status;
    const bool existed = OpensLinkItself(request) ? QueryLinkStatus(request.name.path, status)
                                                  : QueryPathStatus(request.name.path, status);
    if (!existed && errno != ENOENT) return FailErrno(errno, request.name.path);
    if (existed && status.isLink) return Fail(ERROR_CANT_ACCESS_FILE);
    if (existed && status.isDirectory) return OpenDirectory(request);
    return OpenFile(request, existed);
}

}  // namespace
}  // namespace mvx

extern "C" HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD shareMode,
                                     LPSECURITY_ATTRIBUTES, DWORD disposition,
                                     DWORD flagsAndAttributes, HANDLE templateFile) {
    if (mvx::FaultHit("CreateFileA")) return INVALID_HANDLE_VALUE;
    return mvx::GuardedCall(INVALID_HANDLE_VALUE, [&] {
        mvx::OpenRequest request{
            {},          mvx::MapGenericFileAccess(access), shareMode, disposition,
            flagsAndAttributes, templateFile};
        return mvx::Open(request, name);
    });
}
