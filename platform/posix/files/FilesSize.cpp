// GetFileSize. A low part of 0xFFFFFFFF is a valid size, so success always
// leaves NO_ERROR behind for the caller to tell it from failure.
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/files/FileObject.h"
#include "platform/posix/files/FileStatus.h"

#include <cerrno>

extern "C" DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh) {
    if (mvx::FaultHit("GetFileSize")) return INVALID_FILE_SIZE;
    return mvx::GuardedCall(INVALID_FILE_SIZE, [&]() -> DWORD {
        auto object = mvx::LookUpHandle<mvx::FileObject>(file);
        if (!object) return INVALID_FILE_SIZE;
        mvx::FileStatus status;
        if (!mvx::QueryDescriptorStatus(object->FileDescriptor(), status)) {
            SetLastError(mvx::ErrorFromErrno(errno));
            return INVALID_FILE_SIZE;
        }
        if (sizeHigh) *sizeHigh = static_cast<DWORD>(status.size >> 32);
        SetLastError(NO_ERROR);
        return static_cast<DWORD>(status.size);
    });
}
