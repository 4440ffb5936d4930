// LookupAccountSidA: the accounts SIDs stand for, and its two-call size
// protocol.
#include "SecurityBytesSupport.h"

#include "platform/posix/core/FaultInjection.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

class AccountLookup : public ::testing::Test {
protected:
    ~AccountLookup() override { mvx::ClearFaults(); }
};

// "domain\name use", or "error N".
std::string Account(std::string sid, const char* systemName = nullptr) {
    char name[256], domain[256];
    DWORD nameSize = sizeof(name), domainSize = sizeof(domain);
    SID_NAME_USE use = SidTypeUnknown;
    if (!LookupAccountSidA(systemName, &sid[0], name, &nameSize, domain, &domainSize, &use))
        return "error " + std::to_string(GetLastError());
    EXPECT_EQ(nameSize, std::strlen(name));
    EXPECT_EQ(domainSize, std::strlen(domain));
    return std::string(domain) + "\\" + name + " " + std::to_string(use);
}

TEST_F(AccountLookup, NamesWellKnownAndUnixAccounts) {
    const std::string wellKnownGroup = " " + std::to_string(SidTypeWellKnownGroup);
    const std::string alias = " " + std::to_string(SidTypeAlias);
    const std::string user = " " + std::to_string(SidTypeUser);
    const std::string group = " " + std::to_string(SidTypeGroup);
    std::string badRevision = Sid(1, {0});
    badRevision[0] = 2;
    const std::pair<std::string, std::string> cases[] = {
        {Sid(1, {0}), "\\Everyone" + wellKnownGroup},
        {Sid(3, {0}), "\\CREATOR OWNER" + wellKnownGroup},
        {Sid(3, {1}), "\\CREATOR GROUP" + wellKnownGroup},
        {Sid(5, {11}), "NT AUTHORITY\\Authenticated Users" + wellKnownGroup},
        {Sid(5, {18}), "NT AUTHORITY\\SYSTEM" + wellKnownGroup},
        {Sid(5, {19}), "NT AUTHORITY\\LOCAL SERVICE" + wellKnownGroup},
        {Sid(5, {20}), "NT AUTHORITY\\NETWORK SERVICE" + wellKnownGroup},
        {Sid(5, {32, 544}), "BUILTIN\\Administrators" + alias},
        {Sid(5, {32, 545}), "BUILTIN\\Users" + alias},
        {Sid(5, {32, 546}), "BUILTIN\\Guests" + alias},
        {Sid(22, {1, 0}), "Unix User\\root" + user},
        {Sid(22, {2, 0}), "Unix Group\\root" + group},
        // Ids the databases do not know are named by their number.
        {Sid(22, {1, 4000000000u}), "Unix User\\4000000000" + user},
        {Sid(22, {2, 4000000000u}), "Unix Group\\4000000000" + group},
        {Sid(5, {32, 547}), "error 1332"},
        {Sid(1, {1}), "error 1332"},
        {Sid(1, {0, 0}), "error 1332"},
        {Sid(22, {3, 0}), "error 1332"},
        {Sid(22, {1}), "error 1332"},
        {Sid(5, {21, 1, 2, 3, 500}), "error 1332"},
        {Sid(5, std::vector<DWORD>(15, 1)), "error 1332"},
        {Sid(5, std::vector<DWORD>(16, 1)), "error 1337"},
        {badRevision, "error 1337"},
    };
    for (const auto& c : cases) EXPECT_EQ(Account(c.first), c.second) << c.second;
    EXPECT_EQ(Account(Sid(1, {0}), ""), "\\Everyone" + wellKnownGroup);
    EXPECT_EQ(Account(Sid(1, {0}), "otherhost"), "error 1332");
}

TEST_F(AccountLookup, FollowsTheTwoCallSizeProtocol) {
    // "Everyone" needs 9 characters with its terminator, its empty domain 1;
    // "NT AUTHORITY\SYSTEM" needs 7 and 13.
    struct Case {
        std::string sid;
        DWORD nameSize, domainSize;
        bool succeeds;
        DWORD nameAfter, domainAfter;
    };
    const Case cases[] = {
        {Sid(1, {0}), 0, 0, false, 9, 1},    {Sid(1, {0}), 8, 1, false, 9, 1},
        {Sid(1, {0}), 9, 0, false, 9, 1},    {Sid(1, {0}), 9, 1, true, 8, 0},
        {Sid(5, {18}), 7, 12, false, 7, 13}, {Sid(5, {18}), 6, 13, false, 7, 13},
        {Sid(5, {18}), 7, 13, true, 6, 12},  {Sid(5, {18}), 100, 100, true, 6, 12},
    };
    for (const Case& c : cases) {
        std::string sid = c.sid;
        std::string name(c.nameSize, 'x'), domain(c.domainSize, 'x');
        DWORD nameSize = c.nameSize, domainSize = c.domainSize;
        SID_NAME_USE use = SidTypeUnknown;
        const std::string at = std::to_string(c.nameSize) + "/" + std::to_string(c.domainSize);
        EXPECT_EQ(LookupAccountSidA(nullptr, &sid[0], c.nameSize ? &name[0] : nullptr, &nameSize,
                                    c.domainSize ? &domain[0] : nullptr, &domainSize, &use),
                  c.succeeds ? TRUE : FALSE)
            << at;
        EXPECT_EQ(nameSize, c.nameAfter) << at;
        EXPECT_EQ(domainSize, c.domainAfter) << at;
        if (c.succeeds) {
            EXPECT_EQ(use, SidTypeWellKnownGroup) << at;
            EXPECT_EQ(name[c.nameAfter], '\0') << at;
            EXPECT_EQ(domain[c.domainAfter], '\0') << at;
        } else {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << at;
            EXPECT_EQ(name, std::string(c.nameSize, 'x')) << at;
            EXPECT_EQ(use, SidTypeUnknown) << at;
        }
    }
}

TEST_F(AccountLookup, RefusesMissingArgumentsAndFailsOnInjectedFaults) {
    std::string sid = Sid(1, {0});
    char name[16], domain[16];
    DWORD nameSize = sizeof(name), domainSize = sizeof(domain);
    SID_NAME_USE use;
    EXPECT_FALSE(LookupAccountSidA(nullptr, nullptr, name, &nameSize, domain, &domainSize, &use));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(LookupAccountSidA(nullptr, &sid[0], name, nullptr, domain, &domainSize, &use));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(
        LookupAccountSidA(nullptr, &sid[0], name, &nameSize, domain, &domainSize, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // Sizes that claim room where there is no buffer.
    EXPECT_FALSE(
        LookupAccountSidA(nullptr, &sid[0], nullptr, &nameSize, domain, &domainSize, &use));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    mvx::InjectFault("LookupAccountSidA", 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(Account(sid), "error 8");
    EXPECT_EQ(Account(sid), "\\Everyone " + std::to_string(SidTypeWellKnownGroup));
}

}  // namespace
