// The security descriptor of a file that carries no NTFS one, made from what
// POSIX keeps: the owner as S-1-22-1-uid, the group as S-1-22-2-gid, and an
// access list read from the permissions. There is no audit list.
#pragma once

#include "platform/posix/security/PosixAcl.h"
#include "platform/posix/security/SecurityDescriptor.h"

namespace mvx {

DescriptorParts PosixDescriptor(uid_t owner, gid_t group, bool isDirectory,
                                const PosixPermissions& permissions);

}  // namespace mvx
