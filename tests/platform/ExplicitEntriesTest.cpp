// GetExplicitEntriesFromAclA over whole and damaged lists, and LocalFree,
// which releases what it hands out. Each list sits in a buffer of exactly
// its size, so a read past its end shows under the sanitizers.
#include "SecurityBytesSupport.h"

#include "platform/posix/core/FaultInjection.h"

#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class ExplicitEntries : public ::testing::Test {
protected:
    ~ExplicitEntries() override { mvx::ClearFaults(); }

    // The entries of `acl` as "mode mask inheritance SID", one per
    // line, checking that every trustee is a SID inside the block; or
    // "error N".
    static std::string Entries(const std::string& acl) {
        std::vector<BYTE> exact(acl.begin(), acl.end());
        ULONG count = 0xDEAD;
        PEXPLICIT_ACCESS_A entries = nullptr;
        const DWORD error =
            GetExplicitEntriesFromAclA(reinterpret_cast<PACL>(exact.data()), &count, &entries);
        if (error != NO_ERROR) return "error " + std::to_string(error);
        EXPECT_NE(entries, nullptr);  // even an empty list gives a block
        std::string listed;
        for (ULONG i = 0; i < count; ++i) listed += Describe(entries[i], entries + count);
        EXPECT_EQ(LocalFree(entries), nullptr);
        return listed;
    }

private:
    // S-1-authority-sub-..., for authorities below 256.
    static std::string SidText(const BYTE* sid) {
        std::string text = "S-1-" + std::to_string(sid[7]);
        for (BYTE i = 0; i < sid[1]; ++i) {
            DWORD sub = 0;
            std::memcpy(&sub, sid + 8 + 4 * i, 4);
            text += "-" + std::to_string(sub);
        }
        return text;
    }

    static std::string Describe(const EXPLICIT_ACCESS_A& entry, const void* sids) {
        const TRUSTEE_A& trustee = entry.Trustee;
        EXPECT_EQ(trustee.pMultipleTrustee, nullptr);
        EXPECT_EQ(trustee.MultipleTrusteeOperation, NO_MULTIPLE_TRUSTEE);
        EXPECT_EQ(trustee.TrusteeForm, TRUSTEE_IS_SID);
        EXPECT_EQ(trustee.TrusteeType, TRUSTEE_IS_UNKNOWN);
        EXPECT_GE(static_cast<const void*>(trustee.ptstrName), sids);
        char line[64];
        std::snprintf(line, sizeof(line), "%d %#x %#x ", entry.grfAccessMode,
                      entry.grfAccessPermissions, entry.grfInheritance);
        return line + SidText(reinterpret_cast<const BYTE*>(trustee.ptstrName)) + "\n";
    }
};

TEST_F(ExplicitEntries, OneEntryPerAccessOrAuditEntryInListOrder) {
    const std::string user = UserSid(1000), group = Sid(5, {32, 544});
    // An object entry (type 5) carries a GUID before its SID; readers skip it.
    const std::string objectAce = std::string{5, 0} + Word(8 + 4 + 16 + 12) + Dword(0x10) +
                                  Dword(1) + std::string(16, 'g') + Everyone();
    struct Case {
        const char* what;
        std::string acl;
        const char* expected;
    };
    const Case cases[] = {
        {"allow and deny",
         Acl({Ace(1, 0, 0x116, user), Ace(0, 0, 0x1F01FF, user), Ace(0, 0, 0x120089, group)}),
         "3 0x116 0 S-1-22-1-1000\n1 0x1f01ff 0 S-1-22-1-1000\n1 0x120089 0 S-1-5-32-544\n"},
        {"audits by their success flag",
         Acl({Ace(2, 0x40, 0x10000, Everyone()), Ace(2, 0x80, 0x20000, Everyone()),
              Ace(2, 0xC0, 0x30000, Everyone())}),
         "5 0x10000 0 S-1-1-0\n6 0x20000 0 S-1-1-0\n5 0x30000 0 S-1-1-0\n"},
        {"inheritance kept to its five bits",
         Acl({Ace(0, 0x0B, 1, user), Ace(0, 0x1F, 2, user), Ace(0, 0xFF, 3, user)}),
         "1 0x1 0xb S-1-22-1-1000\n1 0x2 0x1f S-1-22-1-1000\n1 0x3 0x1f S-1-22-1-1000\n"},
        {"alarms and object entries skipped",
         Acl({Ace(3, 0, 1, user), objectAce, Ace(0, 0, 2, Everyone())}), "1 0x2 0 S-1-1-0\n"},
        {"empty", Acl({}), ""},
        {"revision 4", std::string("\x04") + Acl({Ace(0, 0, 1, user)}).substr(1),
         "1 0x1 0 S-1-22-1-1000\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(Entries(c.acl), c.expected) << c.what;
}

TEST_F(ExplicitEntries, ADamagedListIsRefused) {
    const std::string ace = Ace(0, 0, 1, Everyone());  // 20 bytes
    const std::string good = Acl({ace});
    auto patched = [](std::string bytes, size_t at, const std::string& patch) {
        return bytes.replace(at, patch.size(), patch);
    };
    const std::pair<const char*, std::string> cases[] = {
        {"revision 1", patched(good, 0, "\x01")},
        {"revision 5", patched(good, 0, "\x05")},
        {"a list of 7 bytes", patched(good, 2, Word(7)).substr(0, 8)},
        {"one entry more than there is", patched(good, 4, Word(2))},
        {"an entry one byte past the list", patched(good, 8 + 2, Word(21))},
        {"an entry of 3 bytes", patched(good, 8 + 2, Word(3))},
        {"a SID one byte past its entry", patched(good, 8 + 2, Word(19))},
        {"a SID of revision 2", patched(good, 16, "\x02")},
        {"a SID of 16 sub-authorities", Acl({Ace(0, 0, 1, Sid(5, std::vector<DWORD>(16, 1)))})},
    };
    for (const auto& c : cases) EXPECT_EQ(Entries(c.second), "error 1336") << c.first;
    // The limits themselves are whole lists.
    EXPECT_EQ(Entries(good), "1 0x1 0 S-1-1-0\n");
    EXPECT_EQ(Entries(Acl({Ace(0, 0, 1, Sid(5, std::vector<DWORD>(15, 1)))})),
              "1 0x1 0 S-1-5-1-1-1-1-1-1-1-1-1-1-1-1-1-1-1\n");
}

TEST_F(ExplicitEntries, ArgumentsFaultsAndLocalFree) {
    std::string acl = Acl({Ace(0, 0, 1, Everyone())});
    PACL list = reinterpret_cast<PACL>(&acl[0]);
    ULONG count = 7;
    EXPLICIT_ACCESS_A stale{};
    PEXPLICIT_ACCESS_A entries = &stale;
    EXPECT_EQ(GetExplicitEntriesFromAclA(nullptr, &count, &entries), NO_ERROR);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(entries, nullptr);
    EXPECT_EQ(GetExplicitEntriesFromAclA(list, nullptr, &entries),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(GetExplicitEntriesFromAclA(list, &count, nullptr),
              static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    mvx::InjectFault("GetExplicitEntriesFromAclA", 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(GetExplicitEntriesFromAclA(list, &count, &entries),
              static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(entries, nullptr);

    ASSERT_EQ(GetExplicitEntriesFromAclA(list, &count, &entries), NO_ERROR);
    ASSERT_EQ(count, 1u);
    // A failing LocalFree hands the block back, still allocated, as Windows does.
    mvx::InjectFault("LocalFree", 1, ERROR_INVALID_HANDLE);
    EXPECT_EQ(LocalFree(entries), entries);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(LocalFree(entries), nullptr);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

}  // namespace
