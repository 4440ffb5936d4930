// An open file or directory behind a HANDLE from CreateFileA.
#pragma once

#include "platform/posix/core/Descriptor.h"
#include "platform/posix/files/FileAccess.h"
#include "platform/posix/core/HandleTable.h"
#include "platform/posix/files/ResolvedName.h"
#include "platform/posix/files/ShareAccess.h"

namespace mvx {

class FileObject final : public KernelObject {
public:
    static constexpr ObjectKind kKind = ObjectKind::File;

    // `access` holds specific rights (generic ones already mapped).
    FileObject(Descriptor descriptor, const ResolvedName& name, bool isDirectory, DWORD access,
               DWORD shareMode);

    // Takes this handle's part in the sharing of `file`; false with
    // ERROR_SHARING_VIOLATION when another open handle forbids it.
    bool ClaimSharing(const FileIdentity& file) {
        return claim_.Acquire(file, access_, shareMode_);
    }

    int FileDescriptor() const { return descriptor_.Get(); }
    const ResolvedName& Name() const { return name_; }
    bool IsDirectory() const { return isDirectory_; }
    DWORD Access() const { return access_; }
    DWORD ShareMode() const { return shareMode_; }
    bool CanRead() const { return ReadsData(access_); }
    bool CanWrite() const { return WritesData(access_); }

private:
    Descriptor descriptor_;
    ResolvedName name_;
    bool isDirectory_;
    DWORD access_;
    DWORD shareMode_;
    ShareClaim claim_;
};

}  // namespace mvx
