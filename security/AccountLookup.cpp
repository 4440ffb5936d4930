#include "security/AccountLookup.h"

namespace {

// Room for `size` characters, terminator included, as the system counts
// them. A count beyond any string throws, so that no buffer is ever
// announced larger than it is.
char* NameBuffer(CStringBase<char>& name, DWORD size) {
    if (size > static_cast<DWORD>(kMaxArrayCapacity))
        throw "String: Capacity error";
    return name.OpenBuffer(static_cast<int>(size));
}

}  // namespace

bool LookupAccount(const char* systemName, PSID sid, CStringBase<char>& account,
                   CStringBase<char>& domain, SID_NAME_USE& use) {
    DWORD accountSize = 0;
    DWORD domainSize = 0;
    if (!LookupAccountSidA(systemName, sid, NameBuffer(account, 1), &accountSize,
                           NameBuffer(domain, 1), &domainSize, &use) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return false;
    char* accountChars = NameBuffer(account, accountSize);
    char* domainChars = NameBuffer(domain, domainSize);
    // Only a call that succeeded has written names to take back.
    if (!LookupAccountSidA(systemName, sid, accountChars, &accountSize, domainChars, &domainSize,
                           &use))
        return false;
    account.CloseBuffer();
    domain.CloseBuffer();
    return true;
}

bool LookupNamedAccount(PSID sid, CStringBase<char>& account, CStringBase<char>& domain) {
    SID_NAME_USE use;
    if (LookupAccount(nullptr, sid, account, domain, use))
        return true;
    if (GetLastError() == ERROR_NONE_MAPPED)
        return false;
    throw "LookupAccountSid";
}
