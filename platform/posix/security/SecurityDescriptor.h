// Security descriptors in the binary form Windows hands out: self-relative
// (offsets instead of pointers), revision 1, with SIDs and access lists of
// revision 2. Descriptors that come from disk are checked before any offset in
// them is followed, so a damaged one is refused instead of read out of bounds.
#pragma once

#include "platform/posix/Win32Functions.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace mvx {

// Control bits of a descriptor.
constexpr WORD kOwnerDefaulted = 0x0001;
constexpr WORD kGroupDefaulted = 0x0002;
constexpr WORD kDaclPresent = 0x0004;
constexpr WORD kSaclPresent = 0x0010;
constexpr WORD kSelfRelative = 0x8000;

constexpr BYTE kAccessAllowedAce = 0;

constexpr SECURITY_INFORMATION kAllDescriptorParts =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
    SACL_SECURITY_INFORMATION;

// A SID of `authority` (S-1-authority-sub-sub...), in binary form.
std::string MakeSid(ULONGLONG authority, std::initializer_list<DWORD> subAuthorities);

struct AccessEntry {
    BYTE type;
    BYTE flags;
    DWORD mask;
    std::string sid;
};

// An access list of revision 2 holding `entries` in their order.
std::string MakeAcl(const std::vector<AccessEntry>& entries);

// The parts of a descriptor, each in binary form. Whether a list is there
// at all is told by the control bits; present with no bytes is a null list.
struct DescriptorParts {
    WORD control = 0;  // without kSelfRelative
    BYTE resourceManagerControl = 0;
    std::string owner;  // empty: none
    std::string group;  // empty: none
    std::string dacl;
    std::string sacl;
};

// The parts laid out self-relative: header, SACL, DACL, owner, group, each
// starting on a 4-byte boundary, as Windows itself lays them out.
std::string MakeSelfRelative(const DescriptorParts& parts);

// Reads a self-relative descriptor, checking every offset, size and count
// against the bytes there are. False for a damaged descriptor.
bool ParseSelfRelative(const std::string& bytes, DescriptorParts& parts);

// Which of the four parts the descriptor carries.
SECURITY_INFORMATION PartsCarried(const DescriptorParts& parts);

// Only the `wanted` parts, with the control bits that belong to them.
DescriptorParts KeepParts(const DescriptorParts& parts, SECURITY_INFORMATION wanted);

// The descriptor `raw` (as a file system stored it) with the `wanted` parts:
// `raw` itself when it carries no other part, else a new descriptor holding
// only those. A damaged `raw` fails with ERROR_INVALID_SECURITY_DESCR.
// Exported for the tests: no file system lets them store a damaged one.
WIN32_LAYER_API DWORD SelectDescriptorParts(const std::string& raw, SECURITY_INFORMATION wanted,
                                            std::string& result);

// The bytes a self-relative descriptor spans: up to the end of its furthest
// part, so copying that many bytes never cuts a part off. 0 for a
// descriptor that is not self-relative.
DWORD SelfRelativeLength(const BYTE* descriptor);

}  // namespace mvx
