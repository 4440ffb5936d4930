// The accounts SIDs stand for on this system: the well-known groups and
// aliases Windows names the same everywhere, and the Unix users and groups
// behind S-1-22-1-uid and S-1-22-2-gid, named by the password and group
// databases. Names come in the ANSI code page.
#pragma once

#include "platform/posix/security/Sid.h"

#include <string>

namespace mvx {

struct AccountName {
    std::string name;
    std::string domain;
    SID_NAME_USE use;
};

// The account `sid` stands for; false when it stands for none known here.
bool AccountNameOf(const SidValue& sid, AccountName& account);

}  // namespace mvx
