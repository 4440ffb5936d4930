// The security descriptor of a file, in this order of preference: the raw
// NTFS descriptor (system.ntfs_acl from ntfs-3g, else system.ntfs_security
// from the kernel's NTFS driver), else the one a Samba server keeps
// (security.NTACL, SambaDescriptor.h), else one made from its POSIX
// ownership, mode and access ACL. A Samba descriptor that cannot be read
// (damaged, or of a version not known here) gives way to the made one, and
// the first time in a process that happens a line on standard error says so. GetFileSecurityA and the backup security stream both
// come from here, so they always agree.
#pragma once

#include "platform/posix/files/ExtendedAttributes.h"

#include <string>

namespace mvx {

// The self-relative descriptor of `file` with the `requested` parts (other
// bits are ignored). A requested audit list needs the security privilege
// (ERROR_PRIVILEGE_NOT_HELD otherwise); a damaged NTFS descriptor fails with
// ERROR_INVALID_SECURITY_DESCR rather than being replaced by a made-up one.
DWORD ReadFileSecurity(const AttributeFile& file, SECURITY_INFORMATION requested,
                       std::string& descriptor);

// The parts the backup security stream carries: owner, group and DACL, and
// the SACL too while the security privilege is enabled.
SECURITY_INFORMATION BackupSecurityParts();

}  // namespace mvx
