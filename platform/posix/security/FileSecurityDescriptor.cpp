#include "platform/posix/security/FileSecurityDescriptor.h"

#include "platform/posix/security/PosixDescriptor.h"
#include "platform/posix/security/SambaDescriptor.h"
#include "platform/posix/security/SecurityPrivilege.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace mvx {
namespace {

const char* const kNtfsDescriptorNames[] = {"system.ntfs_acl", "system.ntfs_security"};
const char kPosixAclName[] = "system.posix_acl_access";
const char kPosixDefaultAclName[] = "system.posix_acl_default";

// The permissions the POSIX ACL in attribute `name` grants; `present` false
// when the file has no such ACL.
DWORD AclPermissions(const AttributeFile& file, const char* name, bool& present,
                     PosixPermissions& permissions) {
    std::string acl;
    const DWORD error = ReadAttribute(file, name, present, acl);
    if (error != NO_ERROR || !present) return error;
    return PermissionsOfAcl(acl, permissions) ? NO_ERROR : ERROR_INVALID_ACL;
}

DWORD SynthesisedSecurity(const AttributeFile& file, const struct stat64& status,
                          SECURITY_INFORMATION requested, std::string& descriptor) {
    bool hasAcl = false;
    PosixPermissions access;
    DWORD error = AclPermissions(file, kPosixAclName, hasAcl, access);
    if (error != NO_ERROR) return error;
    if (!hasAcl) access = PermissionsOfMode(status.st_mode);
    bool hasDefaults = false;
    PosixPermissions defaults;
    if (S_ISDIR(status.st_mode)) {
        error = AclPermissions(file, kPosixDefaultAclName, hasDefaults, defaults);
        if (error != NO_ERROR) return error;
    }
    DescriptorParts parts;
    error = PosixDescriptor(status.st_uid, status.st_gid, access, hasDefaults ? &defaults : nullptr,
                            parts);
    if (error != NO_ERROR) return error;
    descriptor = MakeSelfRelative(KeepParts(parts, requested));
    return NO_ERROR;
}

// Once per process: a tree of damaged descriptors would drown the output.
void NoticeUnreadableSambaDescriptor() {
    static std::atomic<bool> told{false};
    if (told.exchange(true)) return;
    std::fprintf(stderr,
                 "morvex: %s cannot be read (damaged, or of an unknown version); the security "
                 "descriptor shown is made from the POSIX owner and mode\n",
                 kSambaDescriptorName);
}

// The Samba descriptor's `requested` parts; `found` false when the file has
// none that can be read.
DWORD SambaSecurity(const AttributeFile& file, SECURITY_INFORMATION requested, bool& found,
                    std::string& descriptor) {
    std::string blob, embedded;
    DWORD error = ReadAttribute(file, kSambaDescriptorName, found, blob);
    if (error != NO_ERROR || !found) return error;
    if (SambaDescriptorOf(blob, embedded) &&
        SelectDescriptorParts(embedded, requested, descriptor) == NO_ERROR)
        return NO_ERROR;
    found = false;
    NoticeUnreadableSambaDescriptor();
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
    bool found = false;
    const DWORD error = SambaSecurity(file, requested, found, descriptor);
    if (error != NO_ERROR || found) return error;
    return SynthesisedSecurity(file, status, requested, descriptor);
}

SECURITY_INFORMATION BackupSecurityParts() {
    const SECURITY_INFORMATION parts =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    return SecurityPrivilegeEnabled() ? parts | SACL_SECURITY_INFORMATION : parts;
}

}  // namespace mvx
