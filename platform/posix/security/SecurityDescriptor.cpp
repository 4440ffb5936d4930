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
constexpr BYTE kSidRevision = 1;
constexpr BYTE kMostSubAuthorities = 15;
constexpr size_t kSidFixedSize = 8;
constexpr BYTE kAclRevision = 2;
constexpr BYTE kNewestAclRevision = 4;
constexpr size_t kAclHeaderSize = 8;
constexpr size_t kAceHeaderSize = 4;
constexpr size_t kAceSidAt = 8;  // after the header and the access mask
// Allowed, denied, audit and alarm entries: the types whose SID follows the
// mask directly, and the only ones readers look into.
constexpr BYTE kLastPlainAceType = 3;

// The control bits that describe each part.
constexpr WORD kOwnerBits = kOwnerDefaulted;
constexpr WORD kGroupBits = kGroupDefaulted;
constexpr WORD kDaclBits = kDaclPresent | 0x0008 | 0x0100 | 0x0400 | 0x1000;
constexpr WORD kSaclBits = kSaclPresent | 0x0020 | 0x0200 | 0x0800 | 0x2000;

void PutDword(std::string& out, size_t at, DWORD value) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

const BYTE* BytesOf(const std::string& bytes) {
    return reinterpret_cast<const BYTE*>(bytes.data());
}

// The length of the SID at `at` when it is whole before `end`; 0 otherwise.
size_t SidLength(const std::string& bytes, size_t at, size_t end) {
    if (at > end || end - at < kSidFixedSize) return 0;
    const BYTE* sid = BytesOf(bytes) + at;
    if (sid[0] != kSidRevision || sid[1] > kMostSubAuthorities) return 0;
    const size_t length = kSidFixedSize + 4u * sid[1];
    return length <= end - at ? length : 0;
}

bool AcesFit(const std::string& bytes, size_t acl, size_t aclSize) {
    const WORD count = WordAt(BytesOf(bytes) + acl + 4);
    size_t at = kAclHeaderSize;
    for (WORD index = 0; index < count; ++index) {
        if (aclSize - at < kAceHeaderSize) return false;
        const BYTE* ace = BytesOf(bytes) + acl + at;
        const WORD aceSize = WordAt(ace + 2);
        if (aceSize < kAceHeaderSize || aceSize > aclSize - at) return false;
        if (ace[0] <= kLastPlainAceType &&
            (aceSize < kAceSidAt ||
             SidLength(bytes, acl + at + kAceSidAt, acl + at + aceSize) == 0))
            return false;
        at += aceSize;
    }
    return true;
}

// The size of the access list at `at` when it and its entries are whole; 0 otherwise.
size_t AclLength(const std::string& bytes, size_t at) {
    if (at > bytes.size() || bytes.size() - at < kAclHeaderSize) return 0;
    const BYTE* acl = BytesOf(bytes) + at;
    if (acl[0] < kAclRevision || acl[0] > kNewestAclRevision) return 0;
    const size_t size = WordAt(acl + 2);
    if (size < kAclHeaderSize || size > bytes.size() - at) return 0;
    return AcesFit(bytes, at, size) ? size : 0;
}

// Copies the SID whose offset is stored at `offsetAt`; true when there is
// none or it is whole.
bool TakeSid(const std::string& bytes, size_t offsetAt, std::string& sid) {
    const DWORD at = DwordAt(BytesOf(bytes) + offsetAt);
    if (at == 0) return true;
    const size_t length = SidLength(bytes, at, bytes.size());
    if (length == 0) return false;
    sid = bytes.substr(at, length);
    return true;
}

// Copies the list whose offset is stored at `offsetAt` when the control bit
// says it is present; an offset of 0 is a null list.
bool TakeAcl(const std::string& bytes, size_t offsetAt, bool present, std::string& acl) {
    const DWORD at = DwordAt(BytesOf(bytes) + offsetAt);
    if (!present || at == 0) return true;
    const size_t length = AclLength(bytes, at);
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

DWORD PartEnd(const BYTE* descriptor, size_t offsetAt, bool isAcl) {
    const DWORD at = DwordAt(descriptor + offsetAt);
    if (at == 0) return 0;
    const BYTE* part = descriptor + at;
    return at + (isAcl ? WordAt(part + 2) : static_cast<DWORD>(kSidFixedSize + 4u * part[1]));
}

}  // namespace

std::string MakeSid(ULONGLONG authority, std::initializer_list<DWORD> subAuthorities) {
    std::string sid;
    sid.push_back(static_cast<char>(kSidRevision));
    sid.push_back(static_cast<char>(subAuthorities.size()));
    for (int shift = 40; shift >= 0; shift -= 8)
        sid.push_back(static_cast<char>((authority >> shift) & 0xFF));
    for (DWORD sub : subAuthorities) AppendDword(sid, sub);
    return sid;
}

std::string MakeAcl(const std::vector<AccessEntry>& entries) {
    std::string body;
    for (const AccessEntry& entry : entries) {
        body.push_back(static_cast<char>(entry.type));
        body.push_back(static_cast<char>(entry.flags));
        AppendWord(body, static_cast<WORD>(kAceSidAt + entry.sid.size()));
        AppendDword(body, entry.mask);
        body += entry.sid;
    }
    std::string acl;
    acl.push_back(static_cast<char>(kAclRevision));
    acl.push_back('\0');
    AppendWord(acl, static_cast<WORD>(kAclHeaderSize + body.size()));
    AppendWord(acl, static_cast<WORD>(entries.size()));
    AppendWord(acl, 0);
    return acl + body;
}

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

DWORD SelfRelativeLength(const BYTE* descriptor) {
    const WORD control = WordAt(descriptor + 2);
    if (descriptor[0] != kDescriptorRevision || !(control & kSelfRelative)) return 0;
    DWORD end = std::max<DWORD>(kHeaderSize, PartEnd(descriptor, kOwnerOffsetAt, false));
    end = std::max(end, PartEnd(descriptor, kGroupOffsetAt, false));
    if (control & kDaclPresent) end = std::max(end, PartEnd(descriptor, kDaclOffsetAt, true));
    if (control & kSaclPresent) end = std::max(end, PartEnd(descriptor, kSaclOffsetAt, true));
    return end;
}

}  // namespace mvx
