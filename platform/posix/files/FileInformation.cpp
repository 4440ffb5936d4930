// GetFileInformationByHandle. The volume serial number and the file index
// tell one file from another as device and inode do, whatever names reach it.
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/files/FileObject.h"
#include "platform/posix/files/FileStatus.h"

#include <cerrno>
#include <sys/sysmacros.h>

namespace mvx {
namespace {

// A device number folded into 32 bits as major:12 minor:20, which keeps every
// device Linux numbers today apart.
DWORD VolumeSerialOf(dev_t device) {
    return static_cast<DWORD>((major(device) << 20) | (minor(device) & 0xFFFFF));
}

BY_HANDLE_FILE_INFORMATION InformationOf(const FileStatus& status) {
    BY_HANDLE_FILE_INFORMATION information{};
    information.dwFileAttributes = status.attributes;
    information.ftCreationTime = status.creationTime;
    information.ftLastAccessTime = status.lastAccessTime;
    information.ftLastWriteTime = status.lastWriteTime;
    information.dwVolumeSerialNumber = VolumeSerialOf(status.identity.device);
    information.nFileSizeHigh = static_cast<DWORD>(status.size >> 32);
    information.nFileSizeLow = static_cast<DWORD>(status.size);
    information.nNumberOfLinks = static_cast<DWORD>(status.links);
    information.nFileIndexHigh = static_cast<DWORD>(status.identity.inode >> 32);
    information.nFileIndexLow = static_cast<DWORD>(status.identity.inode);
    return information;
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI GetFileInformationByHandle(HANDLE file,
                                                  LPBY_HANDLE_FILE_INFORMATION information) {
    if (mvx::FaultHit("GetFileInformationByHandle")) return FALSE;
    return mvx::GuardedCall<BOOL>(FALSE, [&]() -> BOOL {
        auto object = mvx::LookUpHandle<mvx::FileObject>(file);
        if (!object) return FALSE;
        if (!information) return mvx::Fail(ERROR_INVALID_PARAMETER);
        mvx::FileStatus status;
        if (!mvx::QueryDescriptorStatus(object->FileDescriptor(), status))
            return mvx::Fail(mvx::ErrorFromErrno(errno));
        *information = mvx::InformationOf(status);
        return TRUE;
    });
}
