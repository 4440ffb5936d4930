#include "platform/posix/security/AccessList.h"

#include "platform/posix/core/LittleEndian.h"
#include "platform/posix/security/Sid.h"

#include <utility>

namespace mvx {
namespace {

constexpr BYTE kAclRevision = 2;
constexpr BYTE kNewestAclRevision = 4;
constexpr size_t kAclHeaderSize = 8;
constexpr size_t kLongestAcl = 0xFFFF;
constexpr size_t kAceHeaderSize = 4;
constexpr size_t kAceSidAt = 8;  // after the header and the access mask
// Allowed, denied, audit and alarm entries: the types whose SID follows the
// mask directly, and the only ones readers look into.
constexpr BYTE kLastPlainAceType = 3;

// Walks the entries of the list at `acl` of `size` bytes, handing each to
// `entries` when given; false when one is not whole inside the list.
bool ReadAces(const BYTE* acl, size_t size, std::vector<AccessEntry>* entries) {
    const WORD count = WordAt(acl + 4);
    size_t at = kAclHeaderSize;
    for (WORD index = 0; index < count; ++index) {
        if (size - at < kAceHeaderSize) return false;
        const BYTE* ace = acl + at;
        const WORD aceSize = WordAt(ace + 2);
        if (aceSize < kAceHeaderSize || aceSize > size - at) return false;
        AccessEntry entry{ace[0], ace[1], 0, {}};
        if (ace[0] <= kLastPlainAceType) {
            if (aceSize < kAceSidAt) return false;
            const size_t sid = SidLength(ace + kAceSidAt, aceSize - kAceSidAt);
            if (sid == 0) return false;
            entry.mask = DwordAt(ace + 4);
            entry.sid.assign(reinterpret_cast<const char*>(ace + kAceSidAt), sid);
        }
        if (entries) entries->push_back(std::move(entry));
        at += aceSize;
    }
    return true;
}

// The size the header of the list at `acl` states, when the header is sound
// and the list fits in `room` bytes; 0 otherwise.
size_t StatedSize(const BYTE* acl, size_t room) {
    if (room < kAclHeaderSize) return 0;
    if (acl[0] < kAclRevision || acl[0] > kNewestAclRevision) return 0;
    const size_t size = WordAt(acl + 2);
    return size >= kAclHeaderSize && size <= room ? size : 0;
}

}  // namespace

bool MakeAcl(const std::vector<AccessEntry>& entries, std::string& acl) {
    std::string body;
    for (const AccessEntry& entry : entries) {
        body.push_back(static_cast<char>(entry.type));
        body.push_back(static_cast<char>(entry.flags));
        AppendWord(body, static_cast<WORD>(kAceSidAt + entry.sid.size()));
        AppendDword(body, entry.mask);
        body += entry.sid;
        if (body.size() > kLongestAcl - kAclHeaderSize) return false;
    }
    acl.clear();
    acl.push_back(static_cast<char>(kAclRevision));
    acl.push_back('\0');
    AppendWord(acl, static_cast<WORD>(kAclHeaderSize + body.size()));
    AppendWord(acl, static_cast<WORD>(entries.size()));
    AppendWord(acl, 0);
    acl += body;
    return true;
}

size_t AclLength(const BYTE* acl, size_t room) {
    const size_t size = StatedSize(acl, room);
    return size != 0 && ReadAces(acl, size, nullptr) ? size : 0;
}

bool ReadAcl(const BYTE* acl, std::vector<AccessEntry>& entries) {
    const size_t size = StatedSize(acl, WordAt(acl + 2));
    std::vector<AccessEntry> read;
    if (size == 0 || !ReadAces(acl, size, &read)) return false;
    entries = std::move(read);
    return true;
}

}  // namespace mvx
