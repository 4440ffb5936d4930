#include "security/TrusteeText.h"

#include "security/AccountLookup.h"
#include "security/SidText.h"

namespace {

// A name is read no further than the limit, whether or not it ends there.
CStringBase<char> BoundedName(const char* name) {
    CStringBase<char> text;
    for (int i = 0; i < kMaxTrusteeNameLength && name[i] != 0; ++i)
        text.Append(name[i]);
    return text;
}

}  // namespace

CStringBase<char> AccountText(PSID sid) {
    CStringBase<char> account;
    CStringBase<char> domain;
    if (!LookupNamedAccount(sid, account, domain))
        return SidText(sid);
    if (domain.IsEmpty())
        return account;
    domain.Append('\\');
    domain.Append(account);
    return domain;
}

CStringBase<char> TrusteeText(const TRUSTEE_A& trustee) {
    if (trustee.ptstrName == nullptr)
        return CStringBase<char>("Unknown");
    if (trustee.TrusteeForm == TRUSTEE_IS_SID)
        return AccountText(trustee.ptstrName);
    if (trustee.TrusteeForm == TRUSTEE_IS_NAME)
        return BoundedName(trustee.ptstrName);
    return CStringBase<char>("Unknown");
}
