#include "platform/posix/files/PathStreamWrite.h"

#include "platform/posix/core/Descriptor.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/files/StreamPaths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace mvx {
namespace {

// Replacing a stream frees what it held before the new bytes need room.
DWORD CheckRoom(const CopySource& source, const std::string& streamPath) {
    ULONGLONG needed = 0;
    const DWORD error = source.Size(needed);
    if (error != NO_ERROR) return error;
    struct stat64 old;
    const ULONGLONG freed = stat64(streamPath.c_str(), &old) == 0 ? old.st_size : 0;
    struct statvfs volume;
    const std::string directory = streamPath.substr(0, streamPath.find_last_of('/') + 1);
    if (statvfs(directory.c_str(), &volume) != 0) return ErrorFromErrno(errno);
    const ULONGLONG room = static_cast<ULONGLONG>(volume.f_bavail) * volume.f_frsize + freed;
    return needed > room ? ERROR_DISK_FULL : NO_ERROR;
}

DWORD WriteAll(const CopySource& source, Descriptor& stream) {
    const DWORD error = source.WriteTo(stream.Get());
    if (error != NO_ERROR) return error;
    return stream.Close() == 0 ? NO_ERROR : ErrorFromErrno(errno);
}

}  // namespace

DWORD WritePathStream(const CopySource& source, const ResolvedName& target, bool fileExists,
                      bool failIfExists) {
    std::string streamPath;
    DWORD error = StreamPathOf(target.path, target.stream, streamPath);
    if (error == NO_ERROR) error = CheckRoom(source, streamPath);
    if (error != NO_ERROR) return error;
    const int mode = failIfExists ? O_EXCL : O_TRUNC;
    Descriptor stream(open(streamPath.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | mode, 0666));
    if (!stream.IsOpen()) return errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrnoAt(errno, target.path);
    error = WriteAll(source, stream);
    if (error == NO_ERROR) return NO_ERROR;
    // ntfs-3g cannot unlink a stream that is still open: FUSE would hide it
    // under another name, which a stream cannot take.
    stream.Close();
    unlink(streamPath.c_str());
    if (!fileExists) unlink(target.path.c_str());
    return error;
}

}  // namespace mvx
