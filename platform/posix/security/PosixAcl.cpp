#include "platform/posix/security/PosixAcl.h"

#include "platform/posix/core/LittleEndian.h"

#include <utility>

namespace mvx {
namespace {

// The kernel's layout: a 4-byte version, then 8-byte entries (tag, permissions, id).
constexpr DWORD kAclVersion = 2;
constexpr size_t kHeaderSize = 4;
constexpr size_t kEntrySize = 8;

constexpr unsigned kUserObj = 0x01;
constexpr unsigned kUser = 0x02;
constexpr unsigned kGroupObj = 0x04;
constexpr unsigned kGroup = 0x08;
constexpr unsigned kMask = 0x10;
constexpr unsigned kOther = 0x20;
constexpr unsigned kRequiredTags = kUserObj | kGroupObj | kOther;

constexpr unsigned kAllBits = kPosixRead | kPosixWrite | kPosixExecute;

unsigned WordOf(const std::string& bytes, size_t at) {
    return WordAt(reinterpret_cast<const BYTE*>(bytes.data()) + at);
}

DWORD DwordOf(const std::string& bytes, size_t at) {
    return DwordAt(reinterpret_cast<const BYTE*>(bytes.data()) + at);
}

void ApplyMask(PosixPermissions& permissions, unsigned mask) {
    permissions.group &= mask;
    for (NamedPermissions& user : permissions.users) user.bits &= mask;
    for (NamedPermissions& group : permissions.groups) group.bits &= mask;
}

}  // namespace

PosixPermissions PermissionsOfMode(mode_t mode) {
    PosixPermissions permissions;
    permissions.owner = (mode >> 6) & kAllBits;
    permissions.group = (mode >> 3) & kAllBits;
    permissions.other = mode & kAllBits;
    return permissions;
}

bool PermissionsOfAcl(const std::string& value, PosixPermissions& permissions) {
    if (value.size() < kHeaderSize || (value.size() - kHeaderSize) % kEntrySize != 0 ||
        DwordOf(value, 0) != kAclVersion)
        return false;
    PosixPermissions read;
    unsigned mask = kAllBits;
    unsigned seen = 0;
    for (size_t at = kHeaderSize; at < value.size(); at += kEntrySize) {
        const unsigned tag = WordOf(value, at);
        const unsigned bits = WordOf(value, at + 2) & kAllBits;
        const DWORD id = DwordOf(value, at + 4);
        switch (tag) {
            case kUserObj: read.owner = bits; break;
            case kUser: read.users.push_back({id, bits}); break;
            case kGroupObj: read.group = bits; break;
            case kGroup: read.groups.push_back({id, bits}); break;
            case kMask: mask = bits; break;
            case kOther: read.other = bits; break;
            default: return false;
        }
        seen |= tag;
    }
    if ((seen & kRequiredTags) != kRequiredTags) return false;
    ApplyMask(read, mask);
    permissions = std::move(read);
    return true;
}

}  // namespace mvx
