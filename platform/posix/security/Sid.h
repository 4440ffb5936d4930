// Security identifiers in binary form: revision 1, a count of at most 15
// sub-authorities, a 48-bit big-endian identifier authority, then the
// sub-authorities as little-endian DWORDs.
#pragma once

#include "platform/posix/Win32Types.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace mvx {

// A SID of `authority` (S-1-authority-sub-sub...), in binary form.
std::string MakeSid(ULONGLONG authority, std::initializer_list<DWORD> subAuthorities);

// The length the SID at `sid` has by its own header; 0 when the revision or
// the count of sub-authorities is wrong. Reads the first two bytes only.
size_t ClaimedSidLength(const BYTE* sid);

// The length of the SID at `sid` when it is valid and whole within `room`
// bytes; 0 otherwise.
size_t SidLength(const BYTE* sid, size_t room);

struct SidValue {
    ULONGLONG authority = 0;
    std::vector<DWORD> subAuthorities;
};

// The parts of a SID that ClaimedSidLength found valid.
SidValue ReadSid(const BYTE* sid);

}  // namespace mvx
