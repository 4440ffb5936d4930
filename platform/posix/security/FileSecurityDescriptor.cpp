#include "platform/posix/security/FileSecurityDescriptor.h"

#include "platform/posix/security/PosixDescriptor.h"
#include "platform/posix/security/SecurityPrivilege.h"

#include <cerrno>
#include <sys/stat.h>

namespace mvx {
namespace {

const char* const kNtfsDescriptorNames[] = {"system.ntfs_acl", "system.ntfs_security"};
const char kPosixAclName[] = "system.posix_acl_access";

DWORD PosixPermissionsOf(const AttributeFile& file, const struct stat64& status,
                         PosixPermissions& permissions) {
    bool present = false;
    std::string acl;
    const DWORD error = ReadAttribute(file, kPosixAclName, present, acl);
    if (error != NO_ERROR) return error;
    if (!present) {
        permissions = PermissionsOfMode(status.st_mode);
        return NO_ERROR;
    }
    return PermissionsOfAcl(acl, permissions) ? NO_ERROR : ERROR_INVALID_ACL;
}

DWORD SynthesisedSecurity(const AttributeFile& file, const struct stat64& status,
                          SECURITY_INFORMATION requested, std::string& descriptor) {
    PosixPermissions permissions;
    const DWORD error = PosixPermissionsOf(file, status, permissions);
    if (error != NO_ERROR) return error;
    const DescriptorParts parts =
        PosixDescriptor(status.st_uid, status.st_gid, S_ISDIR(status.st_mode), permissions);
    descriptor = MakeSelfRelative(KeepParts(parts, requested));
    return NO_ERROR;
}

}  // namespace

DWORD ReadFileSecurity(const AttributeFile& file, SECURITY_INFORMATION requested,
                       std::string& descriptor) {
    requested &= kAllDescriptorParts;
    struct stat64 status;
    if (file.Status(status) != 0) return file.ErrorOf(errno);
    if ((requested & SACL_SECURITY_INFORMATION) && !SecurityPrivilegeEnabled())
        return ERROR_PRIVILEGE_NOT_HELD;
    for (const char* name : kNtfsDescriptorNames) {
        bool present = false;
        std::string raw;
        const DWORD error = ReadAttribute(file, name, present, raw);
        if (error != NO_ERROR) return error;
        if (present) return SelectDescriptorParts(raw, requested, descriptor);
    }
    return SynthesisedSecurity(file, status, requested, descriptor);
}

SECURITY_INFORMATION BackupSecurityParts() {
    const SECURITY_INFORMATION parts =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    return SecurityPrivilegeEnabled() ? parts | SACL_SECURITY_INFORMATION : parts;
}

}  // namespace mvx
