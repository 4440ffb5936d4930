// Security reports of files on a real NTFS volume, whose descriptors the
// tests write themselves: lists with allow, deny and audit entries, null and
// empty lists, and owners from another machine.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "NtfsVolumeSupport.h"
#include "platform/posix/files/DriveMap.h"
#include "platform/posix/security/SecurityPrivilege.h"
#include "security/SecurityReport.h"
#include "tests/common/TempDrive.h"
#include "tests/common/Thrown.h"
#include "tests/platform/SecurityBytesSupport.h"
#include "tests/security/ReportTextSupport.h"

namespace {

const std::string kEveryone = Everyone();
const std::string kAdministrators = Sid(5, {32, 544});
const std::string kForeignUser = Sid(5, {21, 1, 2, 3, 1001});
const std::string kForeignGroup = Sid(5, {21, 1, 2, 3, 513});

const std::string kOwnerLine = "Owner: S-1-5-21-1-2-3-1001\r\n\r\n";
const std::string kPermissions = "PERMISSIONS\r\n-----------\r\n";
const std::string kAudit = "SACL\r\n----\r\n";

constexpr unsigned kDaclPresent = 0x4;
constexpr unsigned kSaclPresent = 0x10;

// Self-relative, owned by an account of another machine.
std::string ForeignDescriptor(unsigned control, const std::string& sacl, const std::string& dacl) {
    return Descriptor(0x8000 | control, sacl, dacl, kForeignUser, kForeignGroup);
}

const std::string kAllowDeny = Acl({
    Ace(1, 0, 0x40000000, kForeignUser),
    Ace(0, 0x0B, 0x10000000, kAdministrators),
    Ace(0, 0x13, 0x001F01FF, kEveryone),
});
const std::string kAuditEntries = Acl({
    Ace(2, 0x40, 0x01010000, kEveryone),
    Ace(2, 0x80, 0x000D0000, kForeignUser),
});

const char kAllStandard[] = " Delete  ReadControl ChangePermissions WriteOwner Synchronize";
const char kFileRights[] = " Read Write Append ReadProp WriteProp Execute ReadAttrib WriteAttrib";
const char kDirectoryRights[] =
    " List CreateObject CreateChild ReadProp WriteProp Traverse DeleteChild ReadAttrib "
    "WriteAttrib";

// The text of kAllowDeny, with the specific rights of a file or a directory.
std::string Entries(const char* specificRights) {
    return EntryText({"S-1-5-21-1-2-3-1001", "W", "", "", "DENY_ACCESS", "NO_INHERITANCE",
                      false}) +
           EntryText({"BUILTIN\\Administrators", "All ", "", "", "GRANT_ACCESS",
                      " OBJECT_INHERIT_ACE CONTAINER_INHERIT_ACE INHERIT_ONLY_ACE", false}) +
           EntryText({"Everyone", "", kAllStandard, specificRights, "GRANT_ACCESS",
                      " OBJECT_INHERIT_ACE CONTAINER_INHERIT_ACE INHERITED_ACE", false});
}

const std::string kAuditText =
    EntryText({"Everyone", "", " Delete ", "", "SET_AUDIT_SUCCESS", "NO_INHERITANCE", true}) +
    EntryText({"S-1-5-21-1-2-3-1001", "", " Delete  ChangePermissions WriteOwner", "",
               "SET_AUDIT_FAILURE", "NO_INHERITANCE", false});

class SecurityReportNtfsTest : public ::testing::Test {
protected:
    SecurityReportNtfsTest() : output('T') {}

    ~SecurityReportNtfsTest() override {
        mvx::SetSecurityPrivilegeRefused(false);
        mvx::SetSecurityPrivilegeEnabled(false);
        mvx::UnmapDrive('N');
    }

    void SetUp() override {
        if (!volume.Unavailable().empty())
            GTEST_SKIP() << volume.Unavailable();
        mvx::MapDrive('N', volume.Root());
    }

    // A file or directory on the volume carrying `descriptor`; its Windows name.
    std::string Add(const std::string& name, bool directory, const std::string& descriptor) {
        const std::string path = volume.Root() + "/" + name;
        if (directory)
            EXPECT_EQ(mkdir(path.c_str(), 0755), 0) << name;
        else
            EXPECT_EQ(close(creat(path.c_str(), 0644)), 0) << name;
        EXPECT_EQ(
            setxattr(path.c_str(), "system.ntfs_acl", descriptor.data(), descriptor.size(), 0), 0)
            << name;
        return "N:\\" + name;
    }

    // The report of `source`, or what writing it threw.
    std::string Report(const std::string& source, bool isDirectory, bool privileged) {
        mvx::SetSecurityPrivilegeRefused(!privileged);
        mvx::SetSecurityPrivilegeEnabled(false);
        StreamEntry stream;
        const std::string thrown = ThrownText([&] {
            WriteSecurityReport(stream, CStringBase<char>(source.c_str()), isDirectory,
                                CStringBase<char>(output.Name("report").c_str()), asText);
        });
        return thrown == "(nothing)" ? output.Directory().Contents("report") : thrown;
    }

    NtfsVolume volume;
    TempDrive output;
    bool asText = false;  // the report as text, or the raw descriptor
};

TEST_F(SecurityReportNtfsTest, TextReports) {
    asText = true;
    struct Case {
        const char* name;
        bool directory;
        std::string descriptor;
        bool privileged;
        std::string expected;
    };
    const Case cases[] = {
        {"null", false, ForeignDescriptor(kDaclPresent, "", ""), false, kOwnerLine},
        {"absent", false, ForeignDescriptor(0, "", ""), false, kOwnerLine},
        {"empty", false, ForeignDescriptor(kDaclPresent, "", Acl({})), false,
         kOwnerLine + kPermissions},
        {"file", false, ForeignDescriptor(kDaclPresent | kSaclPresent, kAuditEntries, kAllowDeny),
         false, kOwnerLine + kPermissions + Entries(kFileRights)},
        {"audited", false,
         ForeignDescriptor(kDaclPresent | kSaclPresent, kAuditEntries, kAllowDeny), true,
         kOwnerLine + kPermissions + Entries(kFileRights) + "\r\n\r\n" + kAudit + kAuditText},
        {"null audit", false, ForeignDescriptor(kDaclPresent | kSaclPresent, "", Acl({})), true,
         kOwnerLine + kPermissions + "\r\n\r\n"},
        {"directory", true, ForeignDescriptor(kDaclPresent, "", kAllowDeny), false,
         kOwnerLine + kPermissions + Entries(kDirectoryRights)},
    };
    for (const Case& c : cases) {
        const std::string source = Add(c.name, c.directory, c.descriptor);
        EXPECT_EQ(Report(source, c.directory, c.privileged), c.expected) << c.name;
    }
}

TEST_F(SecurityReportNtfsTest, RawDescriptorsHoldTheAuditListOnlyWithThePrivilege) {
    const std::string source =
        Add("f", false, ForeignDescriptor(kDaclPresent | kSaclPresent, kAuditEntries, kAllowDeny));
    const std::string path = volume.Root() + "/f";
    std::string stored(getxattr(path.c_str(), "system.ntfs_acl", nullptr, 0), '\0');
    stored.resize(getxattr(path.c_str(), "system.ntfs_acl", &stored[0], stored.size()));
    EXPECT_EQ(Report(source, false, true), stored);
    EXPECT_EQ(Report(source, false, false), ForeignDescriptor(kDaclPresent, "", kAllowDeny));
}

}  // namespace
