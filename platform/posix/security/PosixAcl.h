// The permissions POSIX grants on a file: from its mode, or from its access
// ACL (system.posix_acl_access) when it has one, with the ACL's mask already
// applied to the entries it limits.
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace mvx {

// Permission bits as in a mode's class: 4 read, 2 write, 1 execute.
constexpr unsigned kPosixRead = 4;
constexpr unsigned kPosixWrite = 2;
constexpr unsigned kPosixExecute = 1;

struct NamedPermissions {
    DWORD id;  // a uid or a gid
    unsigned bits;
};

struct PosixPermissions {
    unsigned owner = 0;
    unsigned group = 0;
    unsigned other = 0;
    std::vector<NamedPermissions> users;
    std::vector<NamedPermissions> groups;
};

PosixPermissions PermissionsOfMode(mode_t mode);

// The permissions the kernel's binary ACL `value` grants; false when it is
// not a well-formed access ACL.
bool PermissionsOfAcl(const std::string& value, PosixPermissions& permissions);

}  // namespace mvx
