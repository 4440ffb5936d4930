#include "platform/posix/security/SecurityDescriptor.h"

#include "platform/posix/core/LittleEndian.h"

#include <algorithm>
#include <utility>

namespace mvx {
namespace {

constexpr size_t kHeaderSize = 20;
constexpr size_t kOwnerOffsetAt = 4;
constexpr size_t kGroupOffsetAt = 8;
constexpr size_t kSaclOffsetAt = 12;
constexpr size_t kDaclOffsetAt = 16;

constexpr BYTE kDescriptorRevision = 1;
// The longest descriptor whose parts lie one after another: two lists of at
// most 64 KiB and two SIDs of at most 68 bytes, each on a 4-byte boundary.
// An offset or size reaching further is damage, refused before anything
// there is read.
constexpr DWORD kLongestDescriptor = kHeaderSize + 2 * (0xFFFF + 3) + 2 * 68;

// The control bits that describe each part.
constexpr WORD kOwnerBits = kOwnerDefaulted;
constexpr WORD kGroupBits = kGroupDefaulted;
constexpr WORD kDaclBits = kDaclPresent | kDaclDefaulted | 0x0100 | 0x0400 | 0x1000;
constexpr WORD kSaclBits = kSaclPresent | kSaclDefaulted | 0x0200 | 0x0800 | 0x2000;

void PutDword(std::string& out, size_t at, DWORD value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

const BYTE* BytesOf(const std::string& bytes) {
    return reinterpret_cast<const BYTE*>(bytes.data());
}

// Copies the SID whose offset is stored at `offsetAt`; true when there is
// none or it is whole.
bool TakeSid(const std::string& bytes, size_t offsetAt, std::string& sid) {
    const DWORD at = DwordAt(BytesOf(bytes) + offsetAt);
    if (at == 0) return true;
    if (at < kHeaderSize || at > bytes.size()) return false;
    const size_t length = SidLength(BytesOf(bytes) + at, bytes.size() - at);
    if (length == 0) return false;
    sid = bytes.substr(at, length);
    return true;
}

// Copies the list whose offset is stored at `offsetAt` when the control bit
// says it is present; an offset of 0 is a null list.
bool TakeAcl(const std::string& bytes, size_t offsetAt, bool present, std::string& acl) {
    const DWORD at = DwordAt(BytesOf(bytes) + offsetAt);
    if (!present || at == 0) return true;
    if (at < kHeaderSize || at > bytes.size()) return false;
    const size_t length = AclLength(BytesOf(bytes) + at, bytes.size() - at);
    if (length == 0) return false;
    acl = bytes.substr(at, length);
    return true;
}

// Appends `part` at a 4-byte boundary and returns its offset (0: no part).
DWORD AppendPart(std::string& out, const std::string& part) {
    if (part.empty()) return 0;
    const DWORD at = static_cast<DWORD>(out.size());
    out += part;
    out.append((4 - out.size() % 4) % 4, '\0');
    return at;
}

// Where each part's offset is kept in the header, and the control bit that
// says the part is there (none: a SID, there whenever its offset is not 0).
struct OffsetField {
    size_t at;
    bool isAcl;
    WORD presentBit;
};
constexpr OffsetField kOffsetFields[] = {{kOwnerOffsetAt, false, 0},
                                         {kGroupOffsetAt, false, 0},
                                         {kSaclOffsetAt, true, kSaclPresent},
                                         {kDaclOffsetAt, true, kDaclPresent}};

// Where the part whose offset `field` holds ends (0: no part), judged by the
// header that part has; false when no part can lie there.
bool PartEnd(const BYTE* descriptor, const OffsetField& field, DWORD& end) {
    end = 0;
    const WORD control = WordAt(descriptor + 2);
    const DWORD at = DwordAt(descriptor + field.at);
    if ((field.presentBit && !(control & field.presentBit)) || at == 0) return true;
    if (at < kHeaderSize || at >= kLongestDescriptor) return false;
    const BYTE* part = descriptor + at;
    const size_t size = field.isAcl ? WordAt(part + 2) : ClaimedSidLength(part);
    if (size == 0) return false;
    end = at + static_cast<DWORD>(size);
    return end <= kLongestDescriptor;
}

}  // namespace

std::string MakeSelfRelative(const DescriptorParts& parts) {
    std::string out(kHeaderSize, '\0');
    out[0] = static_cast<char>(kDescriptorRevision);
    out[1] = static_cast<char>(parts.resourceManagerControl);
    const WORD control = parts.control | kSelfRelative;
    out[2] = static_cast<char>(control & 0xFF);
    out[3] = static_cast<char>(control >> 8);
    PutDword(out, kSaclOffsetAt, AppendPart(out, parts.sacl));
    PutDword(out, kDaclOffsetAt, AppendPart(out, parts.dacl));
    PutDword(out, kOwnerOffsetAt, AppendPart(out, parts.owner));
    PutDword(out, kGroupOffsetAt, AppendPart(out, parts.group));
    return out;
}

bool ParseSelfRelative(const std::string& bytes, DescriptorParts& parts) {
    if (bytes.size() < kHeaderSize || BytesOf(bytes)[0] != kDescriptorRevision) return false;
    const WORD control = WordAt(BytesOf(bytes) + 2);
    if (!(control & kSelfRelative)) return false;
    DescriptorParts read;
    read.control = control & ~kSelfRelative;
    read.resourceManagerControl = BytesOf(bytes)[1];
    if (!TakeSid(bytes, kOwnerOffsetAt, read.owner) ||
        !TakeSid(bytes, kGroupOffsetAt, read.group) ||
        !TakeAcl(bytes, kDaclOffsetAt, control & kDaclPresent, read.dacl) ||
        !TakeAcl(bytes, kSaclOffsetAt, control & kSaclPresent, read.sacl))
        return false;
    parts = std::move(read);
    return true;
}

SECURITY_INFORMATION PartsCarried(const DescriptorParts& parts) {
    SECURITY_INFORMATION carried = 0;
    if (!parts.owner.empty()) carried |= OWNER_SECURITY_INFORMATION;
    if (!parts.group.empty()) carried |= GROUP_SECURITY_INFORMATION;
    if (parts.control & kDaclPresent) carried |= DACL_SECURITY_INFORMATION;
    if (parts.control & kSaclPresent) carried |= SACL_SECURITY_INFORMATION;
    return carried;
}

DescriptorParts KeepParts(const DescriptorParts& parts, SECURITY_INFORMATION wanted) {
    DescriptorParts kept;
    kept.resourceManagerControl = parts.resourceManagerControl;
    kept.control = parts.control & ~(kOwnerBits | kGroupBits | kDaclBits | kSaclBits);
    if (wanted & OWNER_SECURITY_INFORMATION) {
        kept.owner = parts.owner;
        kept.control |= parts.control & kOwnerBits;
    }
    if (wanted & GROUP_SECURITY_INFORMATION) {
        kept.group = parts.group;
        kept.control |= parts.control & kGroupBits;
    }
    if (wanted & DACL_SECURITY_INFORMATION) {
        kept.dacl = parts.dacl;
        kept.control |= parts.control & kDaclBits;
    }
    if (wanted & SACL_SECURITY_INFORMATION) {
        kept.sacl = parts.sacl;
        kept.control |= parts.control & kSaclBits;
    }
    return kept;
}

DWORD SelectDescriptorParts(const std::string& raw, SECURITY_INFORMATION wanted,
                            std::string& result) {
    DescriptorParts parts;
    if (!ParseSelfRelative(raw, parts)) return ERROR_INVALID_SECURITY_DESCR;
    if ((PartsCarried(parts) & ~wanted) == 0)
        result = raw;
    else
        result = MakeSelfRelative(KeepParts(parts, wanted));
    return NO_ERROR;
}

DWORD SelfRelativeLength(const BYTE* descriptor, PartOffsets& where) {
    const WORD control = WordAt(descriptor + 2);
    if (descriptor[0] != kDescriptorRevision || !(control & kSelfRelative)) return 0;
    DWORD length = kHeaderSize;
    for (const OffsetField& field : kOffsetFields) {
        DWORD end = 0;
        if (!PartEnd(descriptor, field, end)) return 0;
        length = std::max(length, end);
    }
    DescriptorParts parts;
    if (!ParseSelfRelative(std::string(reinterpret_cast<const char*>(descriptor), length), parts))
        return 0;
    where.control = control;
    where.owner = DwordAt(descriptor + kOwnerOffsetAt);
    where.group = DwordAt(descriptor + kGroupOffsetAt);
    where.sacl = DwordAt(descriptor + kSaclOffsetAt);
    where.dacl = DwordAt(descriptor + kDaclOffsetAt);
    return length;
}

}  // namespace mvx
