// Access lists (ACLs) in binary form: an 8-byte header (revision 2 to 4, the
// list's size in bytes, the count of entries), then the entries (ACEs) one
// after another, each with its own size. Lists that come from outside are
// checked entry by entry before anything in them is used.
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>
#include <vector>

namespace mvx {

constexpr BYTE kAccessAllowedAce = 0;
constexpr BYTE kAccessDeniedAce = 1;
constexpr BYTE kSystemAuditAce = 2;

struct AccessEntry {
    BYTE type;
    BYTE flags;
    DWORD mask;
    std::string sid;  // empty for types whose SID does not follow the mask
};

// The list of revision 2 holding `entries` in their order; false when it
// would exceed the 64 KiB a list's size field can state.
bool MakeAcl(const std::vector<AccessEntry>& entries, std::string& acl);

// The size of the list at `acl` when it and each entry are whole within
// `room` bytes; 0 otherwise.
size_t AclLength(const BYTE* acl, size_t room);

// The entries of the list at `acl`, whose header gives its extent; false
// when the list is damaged. Reads nothing beyond that extent.
bool ReadAcl(const BYTE* acl, std::vector<AccessEntry>& entries);

}  // namespace mvx
