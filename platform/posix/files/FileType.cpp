// GetFileType: a regular file or a directory is a disk file, a terminal or
// another character device is a character file, a FIFO or a socket is a pipe.
// Writers tell by it what can be replaced and what can only be written into.
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/files/FileObject.h"

#include <cerrno>
#include <sys/stat.h>

namespace mvx {
namespace {

DWORD TypeOf(mode_t mode) {
    if (S_ISCHR(mode)) return FILE_TYPE_CHAR;
    if (S_ISFIFO(mode) || S_ISSOCK(mode)) return FILE_TYPE_PIPE;
    return FILE_TYPE_DISK;
}

}  // namespace
}  // namespace mvx

extern "C" DWORD WINAPI GetFileType(HANDLE file) {
    if (mvx::FaultHit("GetFileType")) return FILE_TYPE_UNKNOWN;
    return mvx::GuardedCall<DWORD>(FILE_TYPE_UNKNOWN, [&]() -> DWORD {
        auto object = mvx::LookUpHandle<mvx::FileObject>(file);
        if (!object) return FILE_TYPE_UNKNOWN;
        struct stat status {};
        if (fstat(object->FileDescriptor(), &status) != 0) {
            SetLastError(mvx::ErrorFromErrno(errno));
            return FILE_TYPE_UNKNOWN;
        }
        SetLastError(NO_ERROR);
        return mvx::TypeOf(status.st_mode);
    });
}
