#include "SecurityBytesSupport.h"

std::string Word(unsigned value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8)};
}

std::string Dword(DWORD value) { return Word(value & 0xFFFF) + Word(value >> 16); }

std::string Sid(BYTE authority, std::vector<DWORD> subs) {
    std::string sid{1, static_cast<char>(subs.size()), 0, 0, 0, 0, 0, static_cast<char>(authority)};
    for (DWORD sub : subs) sid += Dword(sub);
    return sid;
}

std::string UserSid(DWORD uid) { return Sid(22, {1, uid}); }
std::string GroupSid(DWORD gid) { return Sid(22, {2, gid}); }
std::string Everyone() { return Sid(1, {0}); }

std::string Ace(BYTE type, BYTE flags, DWORD mask, const std::string& sid) {
    return std::string{static_cast<char>(type), static_cast<char>(flags)} +
           Word(8 + static_cast<unsigned>(sid.size())) + Dword(mask) + sid;
}

std::string Acl(const std::vector<std::string>& aces) {
    std::string body;
    for (const std::string& ace : aces) body += ace;
    return std::string{2, 0} + Word(8 + static_cast<unsigned>(body.size())) +
           Word(static_cast<unsigned>(aces.size())) + Word(0) + body;
}

std::string Descriptor(unsigned control, const std::string& sacl, const std::string& dacl,
                       const std::string& owner, const std::string& group) {
    DWORD at = 20;
    auto place = [&at](const std::string& part) {
        const DWORD offset = part.empty() ? 0 : at;
        at += static_cast<DWORD>(part.size());
        return offset;
    };
    const DWORD saclAt = place(sacl), daclAt = place(dacl), ownerAt = place(owner),
                groupAt = place(group);
    return std::string{1, 0} + Word(control) + Dword(ownerAt) + Dword(groupAt) + Dword(saclAt) +
           Dword(daclAt) + sacl + dacl + owner + group;
}
