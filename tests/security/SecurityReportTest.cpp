// The security descriptor stream written out: raw or as a text report, for
// files and directories on the local file system, with and without the
// security privilege, and what is left behind when a step fails.
#include "security/SecurityReport.h"

#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/security/SecurityPrivilege.h"
#include "tests/common/TempDrive.h"
#include "tests/common/Thrown.h"
#include "tests/platform/SecurityBytesSupport.h"
#include "tests/security/ReportTextSupport.h"

namespace {

constexpr char kOutput[] = "T:\\report.sd";
constexpr char kMissing[] = "<missing>";

// An entry as the local file system gives them: no generic rights, no
// right that needs the privilege, no inheritance.
std::string Entry(const std::string& trustee, const char* standard, const char* specific,
                  const char* mode) {
    return EntryText({trustee, "", standard, specific, mode, "NO_INHERITANCE", false});
}

const char kReadWrite[] = " Read Write Append ReadProp WriteProp ReadAttrib WriteAttrib";
const char kRead[] = " Read ReadProp ReadAttrib";
const char kSynchronized[] = " ReadControl Synchronize";
const char kAllStandard[] = " Delete  ReadControl ChangePermissions WriteOwner Synchronize";
const char kHeading[] = "Owner: 1234 (Unix User)\r\n\r\nPERMISSIONS\r\n-----------\r\n";
const std::string kOwnerEntry = Entry("Unix User\\1234", kSynchronized, kReadWrite, "GRANT_ACCESS");

// The descriptor by the system's two-call protocol, as the raw report must hold it.
std::string DescriptorOf(const char* name, SECURITY_INFORMATION parts) {
    DWORD needed = 0;
    GetFileSecurityA(name, parts, nullptr, 0, &needed);
    std::string descriptor(needed, '\0');
    if (!GetFileSecurityA(name, parts, &descriptor[0], needed, &needed))
        return "<error " + std::to_string(GetLastError()) + ">";
    return descriptor;
}

class SecurityReportTest : public ::testing::Test {
protected:
    SecurityReportTest() : drive('T') {
        mvx::ClearFaults();
        mvx::SetSecurityPrivilegeRefused(true);
    }

    ~SecurityReportTest() override {
        mvx::ClearFaults();
        mvx::SetSecurityPrivilegeRefused(false);
        mvx::SetSecurityPrivilegeEnabled(false);
    }

    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "the files must be given to 1234:5678, which needs root";
    }

    // A file or directory owned by 1234:5678 with `mode`; its Windows name.
    std::string Add(const char* relative, mode_t mode, bool directory = false) {
        const TempDirectory& temp = drive.Directory();
        const std::string path = directory ? temp.AddDirectory(relative) : temp.AddFile(relative);
        EXPECT_EQ(chown(path.c_str(), 1234, 5678), 0);
        EXPECT_EQ(chmod(path.c_str(), mode), 0);
        return drive.Name(relative);
    }

    // What WriteSecurityReport throws for `source`, "(nothing)" when it succeeds.
    std::string Report(const std::string& source, bool isDirectory, uint64_t guess = 0) {
        StreamEntry stream;
        stream.size = guess;
        return ThrownText([&] {
            EXPECT_TRUE(WriteSecurityReport(stream, CStringBase<char>(source.c_str()), isDirectory,
                                            CStringBase<char>(kOutput), asText));
        });
    }

    std::string Output() const { return drive.Directory().Contents("report.sd"); }

    bool asText = true;  // the report as text, or the raw descriptor

    TempDrive drive;
};

TEST_F(SecurityReportTest, TextReportsOfLocalFiles) {
    // Version 2, then tag, permissions, id: owner rw-, user 4242 rw-, group r--,
    // mask rw-, other ---.
    const std::string namedUser = Dword(2) + Word(1) + Word(6) + Dword(~0u) + Word(2) + Word(6) +
                                  Dword(4242) + Word(4) + Word(4) + Dword(~0u) + Word(0x10) +
                                  Word(6) + Dword(~0u) + Word(0x20) + Word(0) + Dword(~0u);
    struct Case {
        const char* name;
        mode_t mode;
        bool directory;
        std::string posixAcl;
        bool privileged;
        std::string expected;
    };
    const Case cases[] = {
        {"a", 0640, false, "", false,
         kHeading + kOwnerEntry + Entry("Unix Group\\5678", kSynchronized, kRead, "GRANT_ACCESS")},
        // Everyone may read what the group may not: the group is denied that first.
        {"b", 0604, false, "", false,
         kHeading + Entry("Unix Group\\5678", kSynchronized, kRead, "DENY_ACCESS") + kOwnerEntry +
             Entry("Everyone", kSynchronized, kRead, "GRANT_ACCESS")},
        {"c", 0640, false, namedUser, false,
         kHeading + kOwnerEntry +
             Entry("Unix User\\4242", kSynchronized, kReadWrite, "GRANT_ACCESS") +
             Entry("Unix Group\\5678", kSynchronized, kRead, "GRANT_ACCESS")},
        {"d", 0700, true, "", false,
         kHeading + Entry("Unix User\\1234", kAllStandard,
                          " List CreateObject CreateChild ReadProp WriteProp Traverse DeleteChild "
                          "ReadAttrib WriteAttrib",
                          "GRANT_ACCESS")},
        // With the privilege the audit section follows, empty as the file has no audit list.
        {"e", 0600, false, "", true, kHeading + kOwnerEntry + "\r\n\r\n"},
    };
    for (const Case& c : cases) {
        const std::string name = Add(c.name, c.mode, c.directory);
        if (!c.posixAcl.empty()) {
            const std::string path = drive.Directory().PathOf(c.name);
            ASSERT_EQ(setxattr(path.c_str(), "system.posix_acl_access", c.posixAcl.data(),
                               c.posixAcl.size(), 0),
                      0);
        }
        mvx::SetSecurityPrivilegeRefused(!c.privileged);
        EXPECT_EQ(Report(name, c.directory), "(nothing)") << c.name;
        EXPECT_EQ(Output(), c.expected) << c.name;
    }
}

TEST_F(SecurityReportTest, RawDescriptorWhateverTheFirstGuess) {
    asText = false;
    const std::string name = Add("f", 0644);
    const std::string descriptor = DescriptorOf(name.c_str(), 7);
    const uint64_t size = descriptor.size();
    // Only the low 32 bits of the stream size count as the guess.
    const std::pair<uint64_t, unsigned> cases[] = {
        {0, 2}, {size - 1, 2}, {size, 1}, {size + 100, 1}, {0x100000000 + size, 1},
    };
    for (const auto& c : cases) {
        mvx::ClearFaults();
        EXPECT_EQ(Report(name, false, c.first), "(nothing)") << c.first;
        EXPECT_EQ(Output(), descriptor) << c.first;
        EXPECT_EQ(mvx::CallCount("GetFileSecurityA"), c.second) << c.first;
    }
}

TEST_F(SecurityReportTest, AFailedPrivilegeAttemptOnlyDropsTheAuditSection) {
    const std::string name = Add("f", 0600);
    const std::string unprivileged = kHeading + kOwnerEntry;
    struct Case {
        const char* fault;
        std::string expected;
        unsigned closedHandles;  // the token, when it was opened, and the output file
    };
    const Case cases[] = {
        {nullptr, unprivileged + "\r\n\r\n", 2},
        {"OpenProcessToken", unprivileged, 1},
        {"LookupPrivilegeValueA", unprivileged, 2},
        {"AdjustTokenPrivileges", unprivileged, 2},
    };
    mvx::SetSecurityPrivilegeRefused(false);
    for (const Case& c : cases) {
        const char* shown = c.fault ? c.fault : "granted";
        std::remove(drive.Directory().PathOf("report.sd").c_str());
        mvx::ClearFaults();
        mvx::SetSecurityPrivilegeEnabled(false);
        if (c.fault)
            mvx::InjectFault(c.fault, 1, ERROR_ACCESS_DENIED);
        EXPECT_EQ(Report(name, false), "(nothing)") << shown;
        EXPECT_EQ(Output(), c.expected) << shown;
        EXPECT_EQ(mvx::CallCount("CloseHandle"), c.closedHandles) << shown;
    }
}

TEST_F(SecurityReportTest, FailuresLeaveNoOutput) {
    const std::string report = kHeading + kOwnerEntry;
    struct Case {
        const char* function;
        unsigned nth;
        DWORD error;
        bool parse;
        bool privileged;
        const char* thrown;
        std::string output;
    };
    const Case cases[] = {
        {"GetFileSecurityA", 1, ERROR_ACCESS_DENIED, true, false, "GetFileSecurity error",
         kMissing},
        {"GetFileSecurityA", 2, ERROR_ACCESS_DENIED, true, false, "GetFileSecurity error",
         kMissing},
        // The descriptor grew between the size query and the read.
        {"GetFileSecurityA", 2, ERROR_INSUFFICIENT_BUFFER, true, false,
         "buffer to small for GetFileSecurity", kMissing},
        // Call 1 looks for a pipe at the output, call 2 makes the output.
        {"CreateFileA", 2, ERROR_ACCESS_DENIED, true, false, "Can not create output file",
         kMissing},
        {"GetSecurityDescriptorOwner", 1, ERROR_INVALID_SECURITY_DESCR, true, false,
         "GetSecurityDescriptorOwner", kMissing},
        {"LookupAccountSidA", 1, ERROR_ACCESS_DENIED, true, false, "LookupAccountSid", kMissing},
        {"LookupAccountSidA", 2, ERROR_INSUFFICIENT_BUFFER, true, false, "LookupAccountSid",
         kMissing},
        // An owner without a name is no failure: it is shown as its SID.
        {"LookupAccountSidA", 1, ERROR_NONE_MAPPED, true, false, "(nothing)",
         "Owner: S-1-22-1-1234" + report.substr(report.find("\r\n"))},
        {"GetSecurityDescriptorDacl", 1, ERROR_INVALID_SECURITY_DESCR, true, false,
         "GetSecurityDescriptorDacl", kMissing},
        {"GetExplicitEntriesFromAclA", 1, ERROR_INVALID_ACL, true, false,
         "GetExplicitEntriesFromAcl", kMissing},
        {"GetSecurityDescriptorSacl", 1, ERROR_INVALID_SECURITY_DESCR, true, true,
         "GetSecurityDescriptorSacl", kMissing},
        {"WriteFile", 1, ERROR_DISK_FULL, true, false, "Can not write SecurityDescriptor",
         kMissing},
        // The token was the first handle closed, the output file the second.
        {"CloseHandle", 2, ERROR_DISK_FULL, true, false, "Can not write SecurityDescriptor",
         kMissing},
        {"GetSecurityDescriptorLength", 1, ERROR_INVALID_SECURITY_DESCR, false, false,
         "GetSecurityDescriptorLength", kMissing},
        {"WriteFile", 1, ERROR_DISK_FULL, false, false, "Can not write SecurityDescriptor",
         kMissing},
    };
    const std::string name = Add("f", 0600);
    for (const Case& c : cases) {
        std::remove(drive.Directory().PathOf("report.sd").c_str());
        mvx::ClearFaults();
        mvx::SetSecurityPrivilegeRefused(!c.privileged);
        asText = c.parse;
        mvx::InjectFault(c.function, c.nth, c.error);
        EXPECT_EQ(Report(name, false), c.thrown) << c.function << " " << c.nth;
        EXPECT_EQ(Output(), c.output) << c.function << " " << c.nth;
    }
}

}  // namespace
