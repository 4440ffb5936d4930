// Security descriptors in the binary form Windows hands out: self-relative
// (offsets instead of pointers), revision 1, with SIDs and access lists of
// revision 2. Descriptors that come from disk are checked before any offset in
// them is followed, so a damaged one is refused instead of read out of bounds.
#pragma once

#include "platform/posix/Win32Functions.h"
#include "platform/posix/security/AccessList.h"
#include "platform/posix/security/Sid.h"

#include <string>

namespace mvx {

// Control bits of a descriptor.
constexpr WORD kOwnerDefaulted = 0x0001;
constexpr WORD kGroupDefaulted = 0x0002;
constexpr WORD kDaclPresent = 0x0004;
constexpr WORD kDaclDefaulted = 0x0008;
constexpr WORD kSaclPresent = 0x0010;
constexpr WORD kSaclDefaulted = 0x0020;
constexpr WORD kSelfRelative = 0x8000;

constexpr SECURITY_INFORMATION kAllDescriptorParts =
    OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
    SACL_SECURITY_INFORMATION;

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

// Where the parts of a self-relative descriptor lie: offsets from its start,
// 0 for a part it has not.
struct PartOffsets {
    WORD control = 0;
    DWORD owner = 0;
    DWORD group = 0;
    DWORD sacl = 0;
    DWORD dacl = 0;
};

// The bytes the self-relative descriptor at `descriptor` spans: up to the
// end of its furthest part, as its header's offsets and its parts' own sizes
// tell, so copying that many bytes never cuts a part off. Every part within
// that extent is checked as ParseSelfRelative checks it, so a damaged
// descriptor is refused without following its offsets far. 0 for a damaged
// descriptor or one that is not self-relative; else `where` learns where its
// parts lie.
DWORD SelfRelativeLength(const BYTE* descriptor, PartOffsets& where);

}  // namespace mvx
