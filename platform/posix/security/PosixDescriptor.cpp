#include "platform/posix/security/PosixDescriptor.h"

#include "platform/posix/files/FileAccess.h"

namespace mvx {
namespace {

// How POSIX permission bits read as Windows rights: the one table for the
// owner, named users, the group, named groups and everyone else.
//
//   bit  regular file          directory
//   r    FILE_GENERIC_READ     FILE_GENERIC_READ (list the entries)
//   w    FILE_GENERIC_WRITE    FILE_GENERIC_WRITE | FILE_DELETE_CHILD
//   x    FILE_GENERIC_EXECUTE  FILE_GENERIC_EXECUTE (traverse)
//
// The owner holds besides, whatever its bits, what POSIX lets an owner do
// with any file: DELETE, READ_CONTROL, WRITE_DAC (chmod), WRITE_OWNER
// (chgrp), SYNCHRONIZE, FILE_READ_ATTRIBUTES and FILE_WRITE_ATTRIBUTES
// (utimes). A class without rights gets no entry at all.
//
// Each entry holds its own class's rights. Windows adds up the allow entries
// that match a caller, where POSIX applies one class only, so a mode that
// gives others more than the group (0604) reads more generously here.
constexpr DWORD kFileDeleteChild = 0x0040;
constexpr DWORD kFileWriteAttributes = 0x0100;
constexpr DWORD kOwnerRights = DELETE | READ_CONTROL | WRITE_DAC | WRITE_OWNER | SYNCHRONIZE |
                               kFileReadAttributes | kFileWriteAttributes;

// S-1-22-1-uid and S-1-22-2-gid: the authority Samba and others use for Unix ids.
constexpr ULONGLONG kUnixAuthority = 22;
constexpr DWORD kUnixUser = 1;
constexpr DWORD kUnixGroup = 2;
constexpr ULONGLONG kWorldAuthority = 1;  // S-1-1-0, Everyone

DWORD RightsOf(unsigned bits, bool isDirectory) {
    DWORD rights = 0;
    if (bits & kPosixRead) rights |= kFileGenericRead;
    if (bits & kPosixWrite) rights |= kFileGenericWrite | (isDirectory ? kFileDeleteChild : 0);
    if (bits & kPosixExecute) rights |= kFileGenericExecute;
    return rights;
}

std::string UnixSid(DWORD kind, DWORD id) { return MakeSid(kUnixAuthority, {kind, id}); }

void Allow(std::vector<AccessEntry>& entries, DWORD rights, const std::string& sid) {
    if (rights != 0) entries.push_back({kAccessAllowedAce, 0, rights, sid});
}

std::vector<AccessEntry> EntriesOf(uid_t owner, gid_t group, bool isDirectory,
                                   const PosixPermissions& permissions) {
    std::vector<AccessEntry> entries;
    Allow(entries, RightsOf(permissions.owner, isDirectory) | kOwnerRights,
          UnixSid(kUnixUser, owner));
    for (const NamedPermissions& user : permissions.users)
        Allow(entries, RightsOf(user.bits, isDirectory), UnixSid(kUnixUser, user.id));
    Allow(entries, RightsOf(permissions.group, isDirectory), UnixSid(kUnixGroup, group));
    for (const NamedPermissions& named : permissions.groups)
        Allow(entries, RightsOf(named.bits, isDirectory), UnixSid(kUnixGroup, named.id));
    Allow(entries, RightsOf(permissions.other, isDirectory), MakeSid(kWorldAuthority, {0}));
    return entries;
}

}  // namespace

DescriptorParts PosixDescriptor(uid_t owner, gid_t group, bool isDirectory,
                                const PosixPermissions& permissions) {
    DescriptorParts parts;
    parts.control = kDaclPresent;
    parts.owner = UnixSid(kUnixUser, owner);
    parts.group = UnixSid(kUnixGroup, group);
    parts.dacl = MakeAcl(EntriesOf(owner, group, isDirectory, permissions));
    return parts;
}

}  // namespace mvx
