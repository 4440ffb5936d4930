#include "platform/posix/security/Sid.h"

#include "platform/posix/core/LittleEndian.h"

namespace mvx {
namespace {

constexpr BYTE kSidRevision = 1;
constexpr BYTE kMostSubAuthorities = 15;
constexpr size_t kSidFixedSize = 8;
constexpr size_t kAuthorityAt = 2;
constexpr int kAuthorityBytes = 6;

}  // namespace

std::string MakeSid(ULONGLONG authority, std::initializer_list<DWORD> subAuthorities) {
    std::string sid;
    sid.push_back(static_cast<char>(kSidRevision));
    sid.push_back(static_cast<char>(subAuthorities.size()));
    for (int shift = 8 * (kAuthorityBytes - 1); shift >= 0; shift -= 8)
        sid.push_back(static_cast<char>((authority >> shift) & 0xFF));
    for (DWORD sub : subAuthorities) AppendDword(sid, sub);
    return sid;
}

size_t ClaimedSidLength(const BYTE* sid) {
    if (sid[0] != kSidRevision || sid[1] > kMostSubAuthorities) return 0;
    return kSidFixedSize + 4u * sid[1];
}

size_t SidLength(const BYTE* sid, size_t room) {
    if (room < kSidFixedSize) return 0;
    const size_t length = ClaimedSidLength(sid);
    return length <= room ? length : 0;
}

SidValue ReadSid(const BYTE* sid) {
    SidValue value;
    for (int i = 0; i < kAuthorityBytes; ++i)
        value.authority = (value.authority << 8) | sid[kAuthorityAt + i];
    for (BYTE i = 0; i < sid[1]; ++i)
        value.subAuthorities.push_back(DwordAt(sid + kSidFixedSize + 4u * i));
    return value;
}

}  // namespace mvx
