// LookupPrivilegeValueA and AdjustTokenPrivileges: the security privilege
// granted to root, refused otherwise (and through the test hook, so both
// answers run everywhere), and what enabling it lets GetFileSecurityA do.
#include "MappedDriveSupport.h"

#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/security/SecurityPrivilege.h"

#include <algorithm>
#include <unistd.h>
#include <vector>

namespace {

constexpr DWORD kSecurityLuid = 8;

class Privileges : public MappedDriveTest {
protected:
    Privileges() {
        EXPECT_TRUE(
            OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token_));
        temp.AddFile("f");
    }

    ~Privileges() override {
        CloseHandle(token_);
        mvx::SetSecurityPrivilegeRefused(false);
        mvx::SetSecurityPrivilegeEnabled(false);
    }

    // Adjusts the security privilege on `token` to `attributes`; returns
    // "ok N" with the last error, or "error N".
    static std::string Adjust(HANDLE token, DWORD attributes) {
        TOKEN_PRIVILEGES change{1, {{{kSecurityLuid, 0}, attributes}}};
        SetLastError(0xDEAD);
        const BOOL done = AdjustTokenPrivileges(token, FALSE, &change, 0, nullptr, nullptr);
        return (done ? "ok " : "error ") + std::to_string(GetLastError());
    }

    // GetFileSecurityA with the audit list: "ok" or "error N".
    static std::string AuditListOfAFile() {
        char buffer[512];
        DWORD needed = 0;
        if (GetFileSecurityA("D:\\f", SACL_SECURITY_INFORMATION, buffer, sizeof(buffer), &needed))
            return "ok";
        return "error " + std::to_string(GetLastError());
    }

    HANDLE token_ = nullptr;
};

TEST_F(Privileges, EveryKnownNameHasItsOwnValue) {
    const std::pair<const char*, DWORD> cases[] = {
        {"SeSecurityPrivilege", kSecurityLuid},
        {"sesecurityPRIVILEGE", kSecurityLuid},
        {"SeCreateTokenPrivilege", 2},
        {"SeBackupPrivilege", 17},
        {"SeRestorePrivilege", 18},
        {"SeCreateSymbolicLinkPrivilege", 35},
        {"SeSecurity", 0},
        {"SeSecurityPrivilegeX", 0},
        {"", 0},
    };
    for (const auto& c : cases) {
        LUID luid{0xDEAD, 0xDEAD};
        const BOOL found = LookupPrivilegeValueA(nullptr, c.first, &luid);
        EXPECT_EQ(found, c.second != 0 ? TRUE : FALSE) << c.first;
        if (found) {
            EXPECT_EQ(luid.LowPart, c.second) << c.first;
            EXPECT_EQ(luid.HighPart, 0) << c.first;
        } else {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_SUCH_PRIVILEGE)) << c.first;
        }
    }
    LUID luid;
    EXPECT_TRUE(LookupPrivilegeValueA("", SE_SECURITY_NAME, &luid));
    EXPECT_FALSE(LookupPrivilegeValueA("otherhost", SE_SECURITY_NAME, &luid));
    EXPECT_FALSE(LookupPrivilegeValueA(nullptr, nullptr, &luid));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(LookupPrivilegeValueA(nullptr, SE_SECURITY_NAME, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// Root holds the security privilege, unless the test hook refuses it; no
// other privilege is held. A request for one not held still succeeds.
TEST_F(Privileges, EnablingAnswersByWhatTheTokenHolds) {
    const bool root = geteuid() == 0;
    const LUID_AND_ATTRIBUTES security = {{kSecurityLuid, 0}, SE_PRIVILEGE_ENABLED};
    struct Case {
        const char* what;
        bool refused;
        std::vector<LUID_AND_ATTRIBUTES> entries;
        DWORD error;
        bool enabled;
    };
    const Case cases[] = {
        {"security", false, {security}, root ? 0u : 1300u, root},
        {"security, refused", true, {security}, 1300, false},
        {"backup, then security", false, {{{17, 0}, SE_PRIVILEGE_ENABLED}, security}, 1300, root},
        {"a value past the last", false, {{{36, 0}, SE_PRIVILEGE_ENABLED}}, 1300, false},
        {"security's value with HighPart 1", false, {{{kSecurityLuid, 1}, SE_PRIVILEGE_ENABLED}},
         1300, false},
        {"nothing", false, {}, 0, false},
    };
    for (const Case& c : cases) {
        mvx::SetSecurityPrivilegeEnabled(false);
        mvx::SetSecurityPrivilegeRefused(c.refused);
        struct {
            DWORD count;
            LUID_AND_ATTRIBUTES entries[2];
        } list{static_cast<DWORD>(c.entries.size()), {}};
        std::copy(c.entries.begin(), c.entries.end(), list.entries);
        SetLastError(0xDEAD);
        EXPECT_TRUE(AdjustTokenPrivileges(token_, FALSE, reinterpret_cast<PTOKEN_PRIVILEGES>(&list),
                                          0, nullptr, nullptr))
            << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
        EXPECT_EQ(mvx::SecurityPrivilegeEnabled(), c.enabled) << c.what;
        EXPECT_EQ(AuditListOfAFile(), c.enabled ? "ok" : "error 1314") << c.what;
    }
}

TEST_F(Privileges, TheEnabledPrivilegeBelongsToTheProcess) {
    if (geteuid() != 0) GTEST_SKIP() << "the privilege is granted to root only";
    EXPECT_EQ(Adjust(token_, SE_PRIVILEGE_ENABLED), "ok 0");
    CloseHandle(token_);
    token_ = nullptr;
    EXPECT_EQ(AuditListOfAFile(), "ok");
    // Refusing it takes it away.
    mvx::SetSecurityPrivilegeRefused(true);
    EXPECT_EQ(AuditListOfAFile(), "error 1314");
}

TEST_F(Privileges, ReportsThePreviousStateOfWhatItChanges) {
    if (geteuid() != 0) GTEST_SKIP() << "the privilege is granted to root only";
    // Enabling, enabling again (no change), disabling, disabling all.
    struct Step {
        BOOL disableAll;
        DWORD attributes;
        DWORD changed;     // entries in the previous state
        DWORD wasEnabled;  // their attributes
    };
    const Step steps[] = {
        {FALSE, SE_PRIVILEGE_ENABLED, 1, 0}, {FALSE, SE_PRIVILEGE_ENABLED, 0, 0},
        {FALSE, 0, 1, SE_PRIVILEGE_ENABLED}, {FALSE, SE_PRIVILEGE_ENABLED, 1, 0},
        {TRUE, 0, 1, SE_PRIVILEGE_ENABLED},  {TRUE, 0, 0, 0},
    };
    int index = 0;
    for (const Step& step : steps) {
        ++index;
        TOKEN_PRIVILEGES change{1, {{{kSecurityLuid, 0}, step.attributes}}};
        TOKEN_PRIVILEGES previous{0xDEAD, {{{0xDEAD, 0}, 0xDEAD}}};
        DWORD length = 0;
        EXPECT_TRUE(AdjustTokenPrivileges(token_, step.disableAll, &change, sizeof(previous),
                                          &previous, &length))
            << index;
        EXPECT_EQ(length, 4 + 12 * step.changed) << index;
        EXPECT_EQ(previous.PrivilegeCount, step.changed) << index;
        if (step.changed) {
            EXPECT_EQ(previous.Privileges[0].Luid.LowPart, kSecurityLuid) << index;
            EXPECT_EQ(previous.Privileges[0].Attributes, step.wasEnabled) << index;
        }
    }
    // A previous state that does not fit changes nothing.
    TOKEN_PRIVILEGES change{1, {{{kSecurityLuid, 0}, SE_PRIVILEGE_ENABLED}}};
    TOKEN_PRIVILEGES previous;
    DWORD length = 0;
    EXPECT_FALSE(AdjustTokenPrivileges(token_, FALSE, &change, 15, &previous, &length));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(length, 16u);
    EXPECT_FALSE(mvx::SecurityPrivilegeEnabled());
}

TEST_F(Privileges, RefusesBadTokensAndArgumentsAndFailsOnInjectedFaults) {
    HANDLE queryOnly = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &queryOnly));
    HANDLE adjustOnly = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &adjustOnly));
    TOKEN_PRIVILEGES change{1, {{{kSecurityLuid, 0}, SE_PRIVILEGE_ENABLED}}};
    TOKEN_PRIVILEGES previous;
    DWORD length = 0;
    EXPECT_EQ(Adjust(queryOnly, SE_PRIVILEGE_ENABLED), "error 5");
    EXPECT_EQ(Adjust(reinterpret_cast<HANDLE>(0x4321), SE_PRIVILEGE_ENABLED), "error 6");
    EXPECT_EQ(Adjust(GetCurrentProcess(), SE_PRIVILEGE_ENABLED), "error 6");
    // Asking for the previous state needs the right to query.
    EXPECT_FALSE(
        AdjustTokenPrivileges(adjustOnly, FALSE, &change, sizeof(previous), &previous, &length));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(AdjustTokenPrivileges(token_, FALSE, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(
        AdjustTokenPrivileges(token_, FALSE, &change, sizeof(previous), &previous, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(mvx::SecurityPrivilegeEnabled());
    CloseHandle(queryOnly);
    CloseHandle(adjustOnly);

    mvx::InjectFault("AdjustTokenPrivileges", 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(Adjust(token_, SE_PRIVILEGE_ENABLED), "error 8");
    EXPECT_FALSE(mvx::SecurityPrivilegeEnabled());
    mvx::InjectFault("LookupPrivilegeValueA", 1, ERROR_ACCESS_DENIED);
    LUID luid;
    EXPECT_FALSE(LookupPrivilegeValueA(nullptr, SE_SECURITY_NAME, &luid));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(LookupPrivilegeValueA(nullptr, SE_SECURITY_NAME, &luid));
}

}  // namespace
