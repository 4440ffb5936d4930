#include "platform/posix/security/AccountNames.h"

#include "platform/posix/text/AnsiNames.h"

#include <cerrno>
#include <grp.h>
#include <pwd.h>
#include <vector>

namespace mvx {
namespace {

struct WellKnownAccount {
    ULONGLONG authority;
    std::vector<DWORD> subAuthorities;
    const char* name;
    const char* domain;
    SID_NAME_USE use;
};

const WellKnownAccount kWellKnownAccounts[] = {
    {1, {0}, "Everyone", "", SidTypeWellKnownGroup},
    {3, {0}, "CREATOR OWNER", "", SidTypeWellKnownGroup},
    {3, {1}, "CREATOR GROUP", "", SidTypeWellKnownGroup},
    {5, {11}, "Authenticated Users", "NT AUTHORITY", SidTypeWellKnownGroup},
    {5, {18}, "SYSTEM", "NT AUTHORITY", SidTypeWellKnownGroup},
    {5, {19}, "LOCAL SERVICE", "NT AUTHORITY", SidTypeWellKnownGroup},
    {5, {20}, "NETWORK SERVICE", "NT AUTHORITY", SidTypeWellKnownGroup},
    {5, {32, 544}, "Administrators", "BUILTIN", SidTypeAlias},
    {5, {32, 545}, "Users", "BUILTIN", SidTypeAlias},
    {5, {32, 546}, "Guests", "BUILTIN", SidTypeAlias},
};

// S-1-22-1-uid and S-1-22-2-gid.
constexpr ULONGLONG kUnixAuthority = 22;
constexpr DWORD kUnixUser = 1;
constexpr DWORD kUnixGroup = 2;

// Past this, a database entry is taken as missing rather than growing the
// buffer without end.
constexpr size_t kLargestEntryBuffer = 1 << 20;

// The name the password or group database gives `id` through `lookup`
// (getpwuid_r, getgrgid_r), retrying with a larger buffer while the entry
// does not fit; empty when there is none.
template <class Entry, class Id>
std::string DatabaseName(int (*lookup)(Id, Entry*, char*, size_t, Entry**), Id id,
                         char* Entry::*name) {
    std::vector<char> buffer(1024);
    for (;;) {
        Entry entry;
        Entry* found = nullptr;
        const int error = lookup(id, &entry, buffer.data(), buffer.size(), &found);
        if (found) return found->*name;
        if (error != ERANGE || buffer.size() >= kLargestEntryBuffer) return "";
        buffer.resize(buffer.size() * 2);
    }
}

// A database name as the ANSI page holds it; the decimal id when there is
// no name or the page cannot hold it, so the answer always names the id.
std::string UnixName(const std::string& utf8, DWORD id) {
    std::string ansi;
    if (!utf8.empty() && Utf8NameToAnsi(utf8, ansi)) return ansi;
    return std::to_string(id);
}

bool UnixAccount(const std::vector<DWORD>& subAuthorities, AccountName& account) {
    if (subAuthorities.size() != 2) return false;
    const DWORD id = subAuthorities[1];
    if (subAuthorities[0] == kUnixUser) {
        account = {UnixName(DatabaseName(getpwuid_r, id, &passwd::pw_name), id), "Unix User",
                   SidTypeUser};
        return true;
    }
    if (subAuthorities[0] == kUnixGroup) {
        account = {UnixName(DatabaseName(getgrgid_r, id, &group::gr_name), id), "Unix Group",
                   SidTypeGroup};
        return true;
    }
    return false;
}

}  // namespace

bool AccountNameOf(const SidValue& sid, AccountName& account) {
    if (sid.authority == kUnixAuthority) return UnixAccount(sid.subAuthorities, account);
    for (const WellKnownAccount& known : kWellKnownAccounts) {
        if (known.authority != sid.authority || known.subAuthorities != sid.subAuthorities)
            continue;
        account = {known.name, known.domain, known.use};
        return true;
    }
    return false;
}

}  // namespace mvx
