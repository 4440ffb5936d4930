// The security descriptor of a file that carries no NTFS one, made from what
// POSIX keeps: the owner as S-1-22-1-uid, the group as S-1-22-2-gid, and an
// access list read from the permissions. There is no audit list.
#pragma once

#include "platform/posix/security/PosixAcl.h"
#include "platform/posix/security/SecurityDescriptor.h"

namespace mvx {

// The parts for a file owned by `owner` and `group` whose permissions are
// `access`; `defaults`, a directory's default ACL when it has one, adds the
// entries new files inherit. Fails with ERROR_INVALID_ACL when the entries
// need more than the 64 KiB an access list can hold.
DWORD PosixDescriptor(uid_t owner, gid_t group, const PosixPermissions& access,
                      const PosixPermissions* defaults, DescriptorParts& parts);

}  // namespace mvx
