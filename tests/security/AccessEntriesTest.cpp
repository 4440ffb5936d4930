// The entry text of an access list: how trustees are named (account names,
// SIDs without one, names given as text), and the seven lines per entry.
#include "security/AccessEntries.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/core/FaultInjection.h"
#include "security/SidText.h"
#include "security/TrusteeText.h"
#include "tests/common/Thrown.h"
#include "tests/platform/SecurityBytesSupport.h"

namespace {

const std::string kEveryone = Everyone();
const std::string kRoot = UserSid(0);
const std::string kForeignUser = Sid(5, {21, 1, 2, 3, 1001});

PSID SidOf(const std::string& bytes) {
    return const_cast<char*>(bytes.data());
}

class AccessEntriesTest : public ::testing::Test {
protected:
    AccessEntriesTest() { mvx::ClearFaults(); }
    ~AccessEntriesTest() override { mvx::ClearFaults(); }
};

TEST_F(AccessEntriesTest, SidsInTextForm) {
    const std::pair<std::string, const char*> cases[] = {
        {kEveryone, "S-1-1-0"},
        {kForeignUser, "S-1-5-21-1-2-3-1001"},
        {Sid(5, {}), "S-1-5"},
        {Sid(16, {0xFFFFFFFF}), "S-1-16-4294967295"},
        // The authority is decimal up to 32 bits, hexadecimal beyond.
        {std::string{1, 1, 0, 0, '\xFF', '\xFF', '\xFF', '\xFF'} + Dword(7), "S-1-4294967295-7"},
        {std::string{1, 1, 0, 1, 0, 0, 0, 0} + Dword(7), "S-1-0x000100000000-7"},
        {Sid(5, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}),
         "S-1-5-1-2-3-4-5-6-7-8-9-10-11-12-13-14-15"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(SidText(SidOf(c.first)).Ptr(), c.second) << c.second;
}

TEST_F(AccessEntriesTest, AccountsByNameOrSid) {
    struct Case {
        const std::string& sid;
        const char* fault;
        unsigned nth;
        DWORD error;
        const char* expected;  // the text, or what is thrown
    };
    const Case cases[] = {
        {kEveryone, nullptr, 0, 0, "Everyone"},
        {kRoot, nullptr, 0, 0, "Unix User\\root"},
        {kForeignUser, nullptr, 0, 0, "S-1-5-21-1-2-3-1001"},
        {kRoot, "LookupAccountSidA", 1, ERROR_NONE_MAPPED, "S-1-22-1-0"},
        {kRoot, "LookupAccountSidA", 2, ERROR_NONE_MAPPED, "S-1-22-1-0"},
        {kRoot, "LookupAccountSidA", 1, ERROR_ACCESS_DENIED, "LookupAccountSid"},
        {kRoot, "LookupAccountSidA", 2, ERROR_INSUFFICIENT_BUFFER, "LookupAccountSid"},
    };
    for (const Case& c : cases) {
        mvx::ClearFaults();
        if (c.fault)
            mvx::InjectFault(c.fault, c.nth, c.error);
        std::string text;
        const std::string thrown = ThrownText([&] { text = AccountText(SidOf(c.sid)).Ptr(); });
        EXPECT_EQ(thrown == "(nothing)" ? text : thrown, c.expected) << c.nth << " " << c.error;
    }
}

TEST_F(AccessEntriesTest, TrusteesInOtherForms) {
    const std::string atLimit(kMaxTrusteeNameLength, 'n');
    const std::string pastLimit = atLimit + "x";
    std::string name = "Domain\\user";
    struct Case {
        TRUSTEE_FORM form;
        const char* text;
        std::string expected;
    };
    const Case cases[] = {
        {TRUSTEE_IS_NAME, name.c_str(), name},
        {TRUSTEE_IS_NAME, atLimit.c_str(), atLimit},
        {TRUSTEE_IS_NAME, pastLimit.c_str(), atLimit},
        {TRUSTEE_IS_NAME, nullptr, "Unknown"},
        {TRUSTEE_IS_SID, nullptr, "Unknown"},
        {TRUSTEE_BAD_FORM, name.c_str(), "Unknown"},
        {TRUSTEE_IS_OBJECTS_AND_SID, name.c_str(), "Unknown"},
    };
    for (const Case& c : cases) {
        const TRUSTEE_A trustee{nullptr, NO_MULTIPLE_TRUSTEE, c.form, TRUSTEE_IS_UNKNOWN,
                                const_cast<char*>(c.text)};
        EXPECT_EQ(std::string(TrusteeText(trustee).Ptr()), c.expected) << c.form;
    }
}

TEST_F(AccessEntriesTest, TheWorkedExampleForAFileAndADirectory) {
    const std::string list = Acl({Ace(0, 3, 0x001200A9, kEveryone), Ace(1, 0, 0x40, kRoot)});
    const std::string text =
        "Trustee: Everyone\r\n"
        "Access system security: False\r\n"
        "Generic: \r\n"
        "Standard rights: ReadControl Synchronize\r\n"
        "File specific rights:  Read ReadProp Execute ReadAttrib\r\n"
        "Access mode: GRANT_ACCESS\r\n"
        "Inheritance:  OBJECT_INHERIT_ACE CONTAINER_INHERIT_ACE\r\n"
        "\r\n"
        "Trustee: Unix User\\root\r\n"
        "Access system security: False\r\n"
        "Generic: \r\n"
        "Standard rights:\r\n"
        "File specific rights: \r\n"
        "Access mode: DENY_ACCESS\r\n"
        "Inheritance: NO_INHERITANCE\r\n"
        "\r\n";
    PACL acl = reinterpret_cast<PACL>(const_cast<char*>(list.data()));
    EXPECT_EQ(std::string(EntriesText(acl, false).Ptr()), text);
    std::string forDirectory = text;
    forDirectory.replace(forDirectory.find("Read ReadProp Execute"), 21, "List ReadProp Traverse");
    forDirectory.replace(forDirectory.rfind("rights: ") + 8, 0, " DeleteChild");
    EXPECT_EQ(std::string(EntriesText(acl, true).Ptr()), forDirectory);

    const std::string empty = Acl({});
    EXPECT_STREQ(EntriesText(reinterpret_cast<PACL>(const_cast<char*>(empty.data())), false).Ptr(),
                 "");
    mvx::InjectFault("GetExplicitEntriesFromAclA", 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(ThrownText([&] { EntriesText(acl, false); }), "GetExplicitEntriesFromAcl");
    // A trustee that cannot be named ends the text; the entries are freed all the same.
    mvx::InjectFault("LookupAccountSidA", 3, ERROR_ACCESS_DENIED);
    EXPECT_EQ(ThrownText([&] { EntriesText(acl, false); }), "LookupAccountSid");
}

}  // namespace
