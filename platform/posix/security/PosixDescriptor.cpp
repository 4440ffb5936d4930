#include "platform/posix/security/PosixDescriptor.h"

#include "platform/posix/files/FileAccess.h"

#include <utility>

namespace mvx {
namespace {

// How POSIX permission bits read as Windows rights, the same for files and
// directories and for every class: all three bits are full control, else
// each bit gives its generic right. Nobody gets more than the bits say, the
// owner included.
DWORD RightsOf(unsigned bits) {
    if (bits == (kPosixRead | kPosixWrite | kPosixExecute)) return kFileAllAccess;
    DWORD rights = 0;
    if (bits & kPosixRead) rights |= kFileGenericRead;
    if (bits & kPosixWrite) rights |= kFileGenericWrite;
    if (bits & kPosixExecute) rights |= kFileGenericExecute;
    return rights;
}

// S-1-22-1-uid and S-1-22-2-gid: the authority Samba and others use for Unix ids.
constexpr ULONGLONG kUnixAuthority = 22;
constexpr DWORD kUnixUser = 1;
constexpr DWORD kUnixGroup = 2;
constexpr ULONGLONG kWorldAuthority = 1;    // S-1-1-0, Everyone
constexpr ULONGLONG kCreatorAuthority = 3;  // S-1-3-0 CREATOR OWNER, S-1-3-1 CREATOR GROUP

// Inherited by files and directories, and not applying to the directory itself.
constexpr BYTE kDefaultEntryFlags = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE | INHERIT_ONLY_ACE;

std::string UnixSid(DWORD kind, DWORD id) { return MakeSid(kUnixAuthority, {kind, id}); }

// POSIX checks one class only: the owner, else a named user, else the
// groups that match (together), else everyone. Windows adds up every allow
// entry that matches. A user entry may be a member of any group and is
// always one of everyone; a group entry's members are all of everyone.
enum class TrusteeClass { User, Group, Everyone };

struct Trustee {
    TrusteeClass kind;
    std::string sid;
    DWORD rights;
};

// The trustees in the order the entries take: owner, named users, owning
// group, named groups, everyone.
std::vector<Trustee> TrusteesOf(const PosixPermissions& permissions, std::string ownerSid,
                                std::string groupSid) {
    std::vector<Trustee> trustees;
    trustees.push_back({TrusteeClass::User, std::move(ownerSid), RightsOf(permissions.owner)});
    for (const NamedPermissions& user : permissions.users)
        trustees.push_back({TrusteeClass::User, UnixSid(kUnixUser, user.id), RightsOf(user.bits)});
    trustees.push_back({TrusteeClass::Group, std::move(groupSid), RightsOf(permissions.group)});
    for (const NamedPermissions& group : permissions.groups)
        trustees.push_back(
            {TrusteeClass::Group, UnixSid(kUnixGroup, group.id), RightsOf(group.bits)});
    trustees.push_back(
        {TrusteeClass::Everyone, MakeSid(kWorldAuthority, {0}), RightsOf(permissions.other)});
    return trustees;
}

// The rights the classes after a trustee's would add for it, which POSIX
// does not give it and a deny entry must take away.
DWORD RightsToDeny(const Trustee& trustee, const std::vector<Trustee>& trustees) {
    DWORD covering = 0;
    for (const Trustee& other : trustees) {
        if (other.kind == TrusteeClass::Everyone ||
            (other.kind == TrusteeClass::Group && trustee.kind == TrusteeClass::User))
            covering |= other.rights;
    }
    return trustee.kind == TrusteeClass::Everyone ? 0 : covering & ~trustee.rights;
}

// Deny entries first, as Windows expects them, then the allow entries; an
// entry without rights is left out.
void AppendEntries(const std::vector<Trustee>& trustees, BYTE flags,
                   std::vector<AccessEntry>& entries) {
    for (const Trustee& trustee : trustees) {
        const DWORD denied = RightsToDeny(trustee, trustees);
        if (denied != 0) entries.push_back({kAccessDeniedAce, flags, denied, trustee.sid});
    }
    for (const Trustee& trustee : trustees) {
        if (trustee.rights != 0)
            entries.push_back({kAccessAllowedAce, flags, trustee.rights, trustee.sid});
    }
}

}  // namespace

DWORD PosixDescriptor(uid_t owner, gid_t group, const PosixPermissions& access,
                      const PosixPermissions* defaults, DescriptorParts& parts) {
    std::vector<AccessEntry> entries;
    AppendEntries(TrusteesOf(access, UnixSid(kUnixUser, owner), UnixSid(kUnixGroup, group)), 0,
                  entries);
    // The owner and group of a default ACL are those of each new file.
    if (defaults)
        AppendEntries(
            TrusteesOf(*defaults, MakeSid(kCreatorAuthority, {0}), MakeSid(kCreatorAuthority, {1})),
            kDefaultEntryFlags, entries);
    DescriptorParts made;
    if (!MakeAcl(entries, made.dacl)) return ERROR_INVALID_ACL;
    made.control = kDaclPresent;
    made.owner = UnixSid(kUnixUser, owner);
    made.group = UnixSid(kUnixGroup, group);
    parts = std::move(made);
    return NO_ERROR;
}

}  // namespace mvx
