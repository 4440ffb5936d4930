// GetFileSecurityA and GetSecurityDescriptorLength: descriptors made from
// POSIX owners, modes and ACLs, the parts and the size protocol, damaged raw
// descriptors, raw NTFS descriptors on a volume mounted with ntfs-3g, and the
// descriptors a Samba server keeps in security.NTACL.
#include "MappedDriveSupport.h"
#include "SecurityBytesSupport.h"

#include "platform/posix/files/DriveMap.h"
#include "tests/ntfs/NtfsVolumeSupport.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/security/SambaDescriptor.h"
#include "platform/posix/security/SecurityDescriptor.h"
#include "platform/posix/security/SecurityPrivilege.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sys/xattr.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Rights as Windows spells them for files.
constexpr DWORD kRead = 0x120089;     // FILE_GENERIC_READ
constexpr DWORD kWrite = 0x120116;    // FILE_GENERIC_WRITE
constexpr DWORD kExecute = 0x1200A0;  // FILE_GENERIC_EXECUTE
constexpr DWORD kAll = 0x1F01FF;      // FILE_ALL_ACCESS, for rwx
const DWORD kStale = 0xDEAD;

// The descriptor by the two-call protocol, or "<error N>".
std::string Security(const char* name, SECURITY_INFORMATION parts) {
    DWORD needed = 0;
    if (GetFileSecurityA(name, parts, nullptr, 0, &needed)) return "<no size asked for>";
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return "<error " + std::to_string(GetLastError()) + ">";
    std::string descriptor(needed, '\0');
    if (!GetFileSecurityA(name, parts, &descriptor[0], needed, &needed))
        return "<error " + std::to_string(GetLastError()) + ">";
    return descriptor;
}

class FileSecurityTest : public MappedDriveTest {
protected:
    ~FileSecurityTest() override { mvx::SetSecurityPrivilegeEnabled(false); }

    // A file of ours with the given mode, owned by 1234:5678 when we may
    // give files away; returns its owner and group.
    std::pair<DWORD, DWORD> AddOwnedFile(const std::string& relative, mode_t mode,
                                         bool directory = false) {
        const std::string path = directory ? temp.AddDirectory(relative) : temp.AddFile(relative);
        if (geteuid() == 0) {
            EXPECT_EQ(chown(path.c_str(), 1234, 5678), 0);
        }
        EXPECT_EQ(chmod(path.c_str(), mode), 0);
        struct stat status;
        stat(path.c_str(), &status);
        return {status.st_uid, status.st_gid};
    }
};

// The descriptor of a POSIX file with owner `ids.first`, group `ids.second`,
// the deny entries given, and the owner, group and everyone masks given (0:
// no entry).
std::string PosixDescriptor(std::pair<DWORD, DWORD> ids, DWORD owner, DWORD group, DWORD everyone,
                            std::vector<std::string> aces = {}) {
    if (owner) aces.push_back(Ace(0, 0, owner, UserSid(ids.first)));
    if (group) aces.push_back(Ace(0, 0, group, GroupSid(ids.second)));
    if (everyone) aces.push_back(Ace(0, 0, everyone, Everyone()));
    return Descriptor(0x8004, "", Acl(aces), UserSid(ids.first), GroupSid(ids.second));
}

TEST_F(FileSecurityTest, DescribesAPosixFileByItsOwnerGroupAndMode) {
    struct Case {
        const char* name;
        mode_t mode;
        bool directory;
        DWORD owner, group, everyone;
        DWORD ownerDenied, groupDenied;
    };
    const Case cases[] = {
        {"a", 0640, false, kRead | kWrite, kRead, 0, 0, 0},
        {"b", 0750, false, kAll, kRead | kExecute, 0, 0, 0},
        {"c", 0017, false, 0, kExecute, kAll, kAll, kAll & ~kExecute},
        {"d", 0730, true, kAll, kWrite | kExecute, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const auto ids = AddOwnedFile(c.name, c.mode, c.directory);
        const std::string name = std::string("D:\\") + c.name;
        std::vector<std::string> denies;
        if (c.ownerDenied) denies.push_back(Ace(1, 0, c.ownerDenied, UserSid(ids.first)));
        if (c.groupDenied) denies.push_back(Ace(1, 0, c.groupDenied, GroupSid(ids.second)));
        EXPECT_EQ(Security(name.c_str(), 7),
                  PosixDescriptor(ids, c.owner, c.group, c.everyone, denies))
            << c.name;
    }
}

TEST_F(FileSecurityTest, NamedEntriesOfThePosixAclAppearWithTheMaskApplied) {
    const auto ids = AddOwnedFile("f", 0640);
    // Version 2, then (tag, permissions, id): owner rw-, user 42 rwx, group r-x,
    // group 43 rw-, mask r--, other ---.
    const std::string acl = Dword(2) + Word(1) + Word(6) + Dword(~0u) + Word(2) + Word(7) +
                            Dword(42) + Word(4) + Word(5) + Dword(~0u) + Word(8) + Word(6) +
                            Dword(43) + Word(0x10) + Word(4) + Dword(~0u) + Word(0x20) + Word(0) +
                            Dword(~0u);
    const std::string path = temp.PathOf("f");
    if (setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
        GTEST_SKIP() << "POSIX ACLs are not supported under " << temp.Path() << ": "
                     << std::strerror(errno);
    const std::string dacl =
        Acl({Ace(0, 0, kRead | kWrite, UserSid(ids.first)), Ace(0, 0, kRead, UserSid(42)),
             Ace(0, 0, kRead, GroupSid(ids.second)), Ace(0, 0, kRead, GroupSid(43))});
    EXPECT_EQ(Security("D:\\f", 7),
              Descriptor(0x8004, "", dacl, UserSid(ids.first), GroupSid(ids.second)));
}

TEST_F(FileSecurityTest, ReturnsOnlyTheRequestedParts) {
    const auto ids = AddOwnedFile("f", 0600);
    EXPECT_EQ(Security("D:\\f", 0), Descriptor(0x8000, "", "", "", ""));
    EXPECT_EQ(Security("D:\\f", OWNER_SECURITY_INFORMATION),
              Descriptor(0x8000, "", "", UserSid(ids.first), ""));
    EXPECT_EQ(Security("D:\\f", GROUP_SECURITY_INFORMATION),
              Descriptor(0x8000, "", "", "", GroupSid(ids.second)));
    const std::string dacl = Acl({Ace(0, 0, kRead | kWrite, UserSid(ids.first))});
    EXPECT_EQ(Security("D:\\f", DACL_SECURITY_INFORMATION), Descriptor(0x8004, "", dacl, "", ""));
}

std::string Allow(DWORD mask, const std::string& sid, BYTE flags = 0) {
    return Ace(0, flags, mask, sid);
}
std::string Deny(DWORD mask, const std::string& sid, BYTE flags = 0) {
    return Ace(1, flags, mask, sid);
}

// A POSIX ACL as the kernel stores it: version 2, then (tag, permissions, id)
// entries. Tags: owner 1, user 2, group 4, named group 8, mask 0x10, other 0x20.
std::string PosixAcl(const std::vector<std::vector<DWORD>>& entries) {
    std::string acl = Dword(2);
    for (const std::vector<DWORD>& entry : entries)
        acl += Word(entry[0]) + Word(entry[1]) + Dword(entry[2]);
    return acl;
}

// No class may read more rights than POSIX gives it: where a class that also
// covers it (groups cover users, everyone covers all) has more, a deny entry
// for the difference comes before every allow entry.
TEST_F(FileSecurityTest, ModesReadTheSameToWindowsAsToPosix) {
    const DWORD rw = kRead | kWrite;
    enum Who { kOwner, kGroup, kWorld };
    struct Entry {
        BYTE type;  // 0 allow, 1 deny
        DWORD mask;
        Who who;
    };
    const std::pair<mode_t, std::vector<Entry>> cases[] = {
        {0777, {{0, kAll, kOwner}, {0, kAll, kGroup}, {0, kAll, kWorld}}},
        {0700, {{0, kAll, kOwner}}},
        {0640, {{0, rw, kOwner}, {0, kRead, kGroup}}},
        {0604, {{1, kRead, kGroup}, {0, rw, kOwner}, {0, kRead, kWorld}}},
        {0460, {{1, rw & ~kRead, kOwner}, {0, kRead, kOwner}, {0, rw, kGroup}}},
        {0007, {{1, kAll, kOwner}, {1, kAll, kGroup}, {0, kAll, kWorld}}},
        {0000, {}},
    };
    for (const auto& c : cases) {
        const std::string name = "f" + std::to_string(c.first);
        const auto ids = AddOwnedFile(name, c.first);
        const std::string sids[] = {UserSid(ids.first), GroupSid(ids.second), Everyone()};
        std::vector<std::string> aces;
        for (const Entry& entry : c.second)
            aces.push_back(Ace(entry.type, 0, entry.mask, sids[entry.who]));
        EXPECT_EQ(Security(("D:\\" + name).c_str(), 7),
                  Descriptor(0x8004, "", Acl(aces), sids[kOwner], sids[kGroup]))
            << std::oct << c.first;
    }
}

TEST_F(FileSecurityTest, NamedEntriesGetDenyEntriesByTheSameRules) {
    const auto ids = AddOwnedFile("f", 0640);
    // Owner r--, user 42 rw-, group ---, group 43 rwx, mask rw-, other r-x.
    const std::string acl = PosixAcl(
        {{1, 4, ~0u}, {2, 6, 42}, {4, 0, ~0u}, {8, 7, 43}, {0x10, 6, ~0u}, {0x20, 5, ~0u}});
    ASSERT_EQ(
        setxattr(temp.PathOf("f").c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0), 0)
        << std::strerror(errno);
    const DWORD rw = kRead | kWrite, rx = kRead | kExecute;
    const std::string owner = UserSid(ids.first), group = GroupSid(ids.second);
    // Users lack what any group or everyone has beyond them; groups lack what
    // everyone has beyond them.
    const std::string dacl =
        Acl({Deny((rw | rx) & ~kRead, owner), Deny((rw | rx) & ~rw, UserSid(42)), Deny(rx, group),
             Deny(rx & ~rw, GroupSid(43)), Allow(kRead, owner), Allow(rw, UserSid(42)),
             Allow(rw, GroupSid(43)), Allow(rx, Everyone())});
    EXPECT_EQ(Security("D:\\f", 7), Descriptor(0x8004, "", dacl, owner, group));
}

TEST_F(FileSecurityTest, ADefaultAclAddsInheritableEntriesForNewFiles) {
    const auto ids = AddOwnedFile("dir", 0750, true);
    // Owner rwx, user 42 r-x, group ---, mask r-x, other r--.
    const std::string acl =
        PosixAcl({{1, 7, ~0u}, {2, 5, 42}, {4, 0, ~0u}, {0x10, 5, ~0u}, {0x20, 4, ~0u}});
    ASSERT_EQ(
        setxattr(temp.PathOf("dir").c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0),
        0)
        << std::strerror(errno);
    const std::string owner = UserSid(ids.first), group = GroupSid(ids.second);
    const std::string creatorOwner = Sid(3, {0}), creatorGroup = Sid(3, {1});
    const BYTE inherit = 0x0B;  // object and container inherit, inherit only
    const std::string dacl =
        Acl({Allow(kAll, owner), Allow(kRead | kExecute, group), Deny(kRead, creatorGroup, inherit),
             Allow(kAll, creatorOwner, inherit), Allow(kRead | kExecute, UserSid(42), inherit),
             Allow(kRead, Everyone(), inherit)});
    EXPECT_EQ(Security("D:\\dir", 7), Descriptor(0x8004, "", dacl, owner, group));
}

// A TempDirectory in memory: tmpfs keeps ACLs of thousands of entries,
// where ext4 keeps one block's worth.
std::unique_ptr<TempDirectory> TempDirectoryInMemory() {
    if (access("/dev/shm", W_OK) != 0) return nullptr;
    return std::make_unique<TempDirectory>("/dev/shm");
}

// An access list's size is 16 bits: a list that would need more is an error,
// never one cut short or with a wrapped size.
TEST_F(FileSecurityTest, AnAclTooLongForWindowsIsAnError) {
    const std::unique_ptr<TempDirectory> memory = TempDirectoryInMemory();
    if (!memory) GTEST_SKIP() << "no /dev/shm";
    const std::string path = memory->AddFile("f");
    mvx::MapDrive('M', memory->Path());
    // Owner, users and group: 24-byte allow entries after the 8-byte header,
    // so 2730 of them fill 65528 bytes and one more would need 65552.
    for (const DWORD users : {2728u, 2729u}) {
        std::vector<std::vector<DWORD>> entries = {{1, 6, ~0u}};
        for (DWORD user = 0; user < users; ++user) entries.push_back({2, 6, 10000 + user});
        entries.insert(entries.end(), {{4, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}});
        const std::string acl = PosixAcl(entries);
        if (setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
            GTEST_SKIP() << "no ACLs of " << users << " entries: " << std::strerror(errno);
        const std::string descriptor = Security("M:\\f", DACL_SECURITY_INFORMATION);
        if (users == 2728)
            EXPECT_EQ(descriptor.size(), 20u + 65528u);
        else
            EXPECT_EQ(descriptor, "<error 1336>");
    }
}

TEST_F(FileSecurityTest, FollowsTheSizeProtocol) {
    AddOwnedFile("f", 0644);
    const std::string full = Security("D:\\f", 7);
    const DWORD size = static_cast<DWORD>(full.size());
    ASSERT_GT(size, 20u);

    DWORD needed = kStale;
    EXPECT_FALSE(GetFileSecurityA("D:\\f", 7, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, size);
    std::string buffer(size + 8, 'x');
    needed = kStale;
    EXPECT_FALSE(GetFileSecurityA("D:\\f", 7, &buffer[0], size - 1, &needed));
    EXPECT_EQ(needed, size);
    EXPECT_EQ(buffer, std::string(size + 8, 'x'));
    needed = kStale;
    EXPECT_TRUE(GetFileSecurityA("D:\\f", 7, &buffer[0], size + 8, &needed));
    EXPECT_EQ(needed, size);
    EXPECT_EQ(buffer.substr(0, size), full);
    EXPECT_EQ(buffer.substr(size), "xxxxxxxx");
    EXPECT_EQ(GetSecurityDescriptorLength(&buffer[0]), size);

    EXPECT_FALSE(GetFileSecurityA("D:\\f", 7, nullptr, size, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(GetFileSecurityA("D:\\f", 7, &buffer[0], size, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(FileSecurityTest, TheAuditListNeedsTheSecurityPrivilege) {
    AddOwnedFile("f", 0644);
    EXPECT_EQ(Security("D:\\f", SACL_SECURITY_INFORMATION), "<error 1314>");
    EXPECT_EQ(Security("D:\\f", 15), "<error 1314>");
    mvx::SetSecurityPrivilegeEnabled(true);
    // A POSIX file has no audit list: the descriptor says none is present.
    EXPECT_EQ(Security("D:\\f", SACL_SECURITY_INFORMATION), Descriptor(0x8000, "", "", "", ""));
    EXPECT_EQ(Security("D:\\f", 15), Security("D:\\f", 7));
}

TEST_F(FileSecurityTest, NamesResolveAsForTheFileFunctions) {
    AddOwnedFile("f", 0644);
    AddOwnedFile("dir", 0755, true);
    ASSERT_EQ(setxattr(temp.PathOf("f").c_str(), "user.notes", "n", 1, 0), 0);
    EXPECT_EQ(Security("D:\\missing", 7), "<error 2>");
    EXPECT_EQ(Security("D:\\nodir\\f", 7), "<error 3>");
    EXPECT_EQ(Security("D:\\f:notes", 7), Security("D:\\f", 7));
    EXPECT_EQ(Security("D:\\f:notes:$DATA", 7), Security("D:\\f", 7));
    EXPECT_EQ(Security("D:\\f:other", 7), "<error 2>");
    EXPECT_EQ(Security("D:\\dir\\", 7), Security("D:\\dir", 7));
    EXPECT_EQ(Security(nullptr, 7), "<error 87>");
}

TEST_F(FileSecurityTest, InjectedFaultsFailTheCalls) {
    AddOwnedFile("f", 0644);
    const std::string descriptor = Security("D:\\f", 7);
    mvx::InjectFault("GetFileSecurityA", 1, ERROR_ACCESS_DENIED);
    DWORD needed = kStale;
    std::string buffer(256, '\0');
    EXPECT_FALSE(GetFileSecurityA("D:\\f", 7, &buffer[0], 256, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(needed, kStale);
    mvx::InjectFault("GetSecurityDescriptorLength", 1, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetSecurityDescriptorLength(const_cast<char*>(descriptor.data())), 0u);
    EXPECT_EQ(GetSecurityDescriptorLength(const_cast<char*>(descriptor.data())), descriptor.size());
}

// A raw descriptor as NTFS keeps one: owner, group, a DACL and an audit list.
struct RawDescriptor {
    std::string owner = Sid(5, {32, 544});
    std::string group = Sid(5, {18});
    std::string dacl = Acl({Ace(0, 3, 0x1F01FF, Sid(1, {0}))});
    std::string sacl = Acl({Ace(2, 0x40, 0x10000, Sid(1, {0}))});
    std::string Bytes() const { return Descriptor(0x8014, sacl, dacl, owner, group); }
};

TEST_F(FileSecurityTest, RawDescriptorsAreKeptWholeOrCutToTheRequestedParts) {
    const RawDescriptor raw;
    std::string result;
    ASSERT_EQ(mvx::SelectDescriptorParts(raw.Bytes(), 15, result), NO_ERROR);
    EXPECT_EQ(result, raw.Bytes());
    ASSERT_EQ(mvx::SelectDescriptorParts(raw.Bytes(), 7, result), NO_ERROR);
    EXPECT_EQ(result, Descriptor(0x8004, "", raw.dacl, raw.owner, raw.group));
    ASSERT_EQ(mvx::SelectDescriptorParts(raw.Bytes(), OWNER_SECURITY_INFORMATION, result),
              NO_ERROR);
    EXPECT_EQ(result, Descriptor(0x8000, "", "", raw.owner, ""));
    // A null DACL (present, no list) stays a null DACL.
    const std::string nullDacl = Descriptor(0x8004, "", "", raw.owner, raw.group);
    ASSERT_EQ(mvx::SelectDescriptorParts(nullDacl, DACL_SECURITY_INFORMATION, result), NO_ERROR);
    EXPECT_EQ(result, Descriptor(0x8004, "", "", "", ""));
    ASSERT_EQ(mvx::SelectDescriptorParts(nullDacl, 15, result), NO_ERROR);
    EXPECT_EQ(result, nullDacl);
}

TEST_F(FileSecurityTest, ADamagedRawDescriptorIsRefusedWithoutReadingPastIt) {
    const RawDescriptor good;
    const std::string bytes = good.Bytes();
    const size_t sacl = 20, dacl = sacl + good.sacl.size(), owner = dacl + good.dacl.size();
    auto with = [&bytes](size_t at, const std::string& patch) {
        std::string damaged = bytes;
        damaged.replace(at, patch.size(), patch);
        return damaged;
    };
    const std::pair<const char*, std::string> cases[] = {
        {"shorter than a header", bytes.substr(0, 19)},
        {"revision 2", with(0, "\x02")},
        {"not self-relative", with(2, Word(0x0014))},
        {"owner beyond the end", with(4, Dword(static_cast<DWORD>(bytes.size()) - 4))},
        {"owner with 16 sub-authorities", with(owner + 1, "\x10")},
        {"group cut by the end", bytes.substr(0, bytes.size() - 1)},
        {"DACL longer than the descriptor", with(dacl + 2, Word(0x7FF0))},
        {"ACL revision 1", with(dacl, "\x01")},
        {"one ACE more than there is", with(dacl + 4, Word(2))},
        {"an ACE of size 0", with(dacl + 10, Word(0))},
        {"an ACE beyond its ACL", with(dacl + 10, Word(0x40))},
        {"a SID beyond its ACE", with(dacl + 8 + 9, "\x05")},
        {"a SACL offset past the end", with(12, Dword(0xFFFFFFF0))},
    };
    for (const auto& c : cases) {
        std::string result = "untouched";
        EXPECT_EQ(mvx::SelectDescriptorParts(c.second, 15, result),
                  static_cast<DWORD>(ERROR_INVALID_SECURITY_DESCR))
            << c.first;
        EXPECT_EQ(result, "untouched") << c.first;
    }
    // A list the control bits call absent is not looked at.
    std::string withoutDacl = with(2, Word(0x8010));
    withoutDacl[dacl] = 1;
    std::string result;
    EXPECT_EQ(mvx::SelectDescriptorParts(withoutDacl, 15, result), NO_ERROR);
}

TEST_F(FileSecurityTest, TheLengthOfADescriptorReachesTheEndOfItsFurthestPart) {
    // The group sits after a gap of 8 bytes: the length covers it all.
    const std::string owner = Sid(5, {18}), group = Sid(5, {32, 544});
    const std::string gapped = std::string{1, 0} + Word(0x8000) + Dword(20) + Dword(40) + Dword(0) +
                               Dword(0) + owner + std::string(8, '\0') + group;
    EXPECT_EQ(GetSecurityDescriptorLength(const_cast<char*>(gapped.data())), gapped.size());
    const std::string absolute = std::string{1, 0} + Word(0x0004) + std::string(16, '\0');
    EXPECT_EQ(GetSecurityDescriptorLength(const_cast<char*>(absolute.data())), 0u);
    EXPECT_EQ(GetSecurityDescriptorLength(nullptr), 0u);
}

// security.NTACL as Samba lays it out (NDR, little-endian): version, the
// union's arm, pointers, the hashed versions' fields, then the descriptor on
// a 4-byte boundary, its offsets counted from the blob's start. `description`
// goes with version 4.
std::string SambaBlob(unsigned version, const std::string& descriptor,
                      const std::string& description = "posix_acl") {
    std::string blob = Word(version) + Word(version) + Dword(0x20000);
    if (version > 1) blob += Dword(0x20004);
    if (version == 2) blob += std::string(16, 'h');
    if (version >= 3) blob += Word(1) + std::string(64, 'h');
    if (version == 4) {
        blob += description + '\0';
        blob += std::string((4 - blob.size() % 4) % 4, '\0') + std::string(8, 't') +
                std::string(64, 's');
    }
    blob += std::string((4 - blob.size() % 4) % 4, '\0');
    const DWORD start = static_cast<DWORD>(blob.size());
    std::string rebased = descriptor;
    for (size_t at = 4; at < 20; at += 4) {
        DWORD offset = 0;
        for (size_t byte = 4; byte-- > 0;)
            offset = (offset << 8) | static_cast<unsigned char>(descriptor[at + byte]);
        rebased.replace(at, 4, Dword(offset ? offset + start : 0));
    }
    return blob + rebased;
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (size_t at = 0; at + 1 < hex.size(); at += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(at, 2), nullptr, 16)));
    return bytes;
}

// What Samba 4.17 kept after smbcacls -a "ACL:Everyone:ALLOWED/0/FULL".
std::string RealSambaBlob() {
    const char hex[] =
        "0400040000000200040002000100a506697a129d490e8c94368d705d1474473e05d7a84e6c2c46f3b75d5c"
        "ee09d60000000000000000000000000000000000000000000000000000000000000000706f7369785f6163"
        "6c00ea05a2f99f86dd01aa9bb344f11bb96c6f4216d5b33cf4f94985c655b124e3db9cc668de251d24b600"
        "0000000000000000000000000000000000000000000000000000000000000001000480b4000000d0000000"
        "00000000e0000000010500000000000515000000b9e3a1d6671fbbdb3410bc44e803000001020000000000"
        "16020000000000000002006c0004000000000014008900120001010000000000010000000000001400ff01"
        "1f00010100000000000100000000000018008900120001020000000000160200000000000000000024009f"
        "011f00010500000000000515000000b9e3a1d6671fbbdb3410bc44e8030000";
    return FromHex(hex);
}

const char kUnevenDescriptor[] =
        "0400040000000200040002000100686868686868686868686868686868686868686868686868686868686868"
        "6868686868686868686868686868686847006868686868686868686868686868686861626300000074747474"
        "7474747473737373737373737373686162630000007474747474747474737373737373737373734700737373"
        "737373737373737373737373737373737373737373737373010014800000000000000000b0000000cc000000"
        "02001c000100000002c01400ff011f00010100000000000100000000020066000400000000001800ff011f00"
        "010200000000001601000000e803000000001800a9001200010200000000001602000000e803000001001400"
        "0000010001010000000000010000000000131800ff011f00010000052000000000052000000020020000";

TEST_F(FileSecurityTest, SambaDescriptorsAreFoundInEveryVersionAndRefusedWhenDamaged) {
    const RawDescriptor raw;
    const std::string descriptor = raw.Bytes();
    const std::string v4 = SambaBlob(4, descriptor);
    // Where the version 4 descriptor starts: 8 + 4 + 66, the description
    // "posix_acl" and its NUL to 88, time and hash to 160.
    const size_t start = v4.size() - descriptor.size();
    ASSERT_EQ(start, 160u);
    auto with = [&v4](size_t at, const std::string& patch) {
        std::string damaged = v4;
        damaged.replace(at, patch.size(), patch);
        return damaged;
    };
    struct Case {
        const char* what;
        std::string blob;
        bool found;
    };
    const Case cases[] = {
        {"version 1", SambaBlob(1, descriptor), true},
        {"version 2", SambaBlob(2, descriptor), true},
        {"version 3", SambaBlob(3, descriptor), true},
        {"version 4", v4, true},
        {"version 4, empty description", SambaBlob(4, descriptor, ""), true},
        {"version 4, description of 4k+3", SambaBlob(4, descriptor, "abc"), true},
        {"version 0", with(0, Word(0) + Word(0)), false},
        {"version 5", with(0, Word(5) + Word(5)), false},
        {"arm other than the version", with(2, Word(3)), false},
        {"no hashed structure", with(4, Dword(0)), false},
        {"no descriptor", with(8, Dword(0)), false},
        {"empty", "", false},
        {"cut in the header", v4.substr(0, 7), false},
        {"cut in the hash", v4.substr(0, 77), false},
        {"description without its NUL", v4.substr(0, 87), false},
        {"cut in the time", v4.substr(0, 95), false},
        {"cut where the descriptor starts", v4.substr(0, start), false},
        {"descriptor cut short", v4.substr(0, v4.size() - 1), false},
        {"descriptor of revision 2", with(start, "\x02"), false},
        {"descriptor not self-relative", with(start + 2, Word(0x0014)), false},
        {"owner offset before the descriptor", with(start + 4, Dword(8)), false},
        {"owner offset into its header", with(start + 4, Dword(start + 19)), false},
        {"DACL offset past the end", with(start + 16, Dword(0xFFFFFFF0)), false},
        // Found by fuzzing: parts that parse, yet make a descriptor that would
        // not read back at its own length.
        {"a descriptor that would not read back whole", FromHex(kUnevenDescriptor), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string found = "untouched";
        EXPECT_EQ(mvx::SambaDescriptorOf(c.blob, found), c.found);
        EXPECT_EQ(found, c.found ? descriptor : "untouched");
    }
    const std::string real = RealSambaBlob();
    ASSERT_EQ(real.size(), 332u);
    std::string found;
    ASSERT_TRUE(mvx::SambaDescriptorOf(real, found));
    EXPECT_EQ(found, Descriptor(0x8004, "", real.substr(224), real.substr(180, 28),
                                real.substr(208, 16)));
}

TEST_F(FileSecurityTest, TheSambaDescriptorIsTheFilesAndADamagedOneGivesWay) {
    const std::string path = temp.AddFile("f");
    const std::string made = Security("D:\\f", 7);
    const RawDescriptor raw;
    const std::string blob = SambaBlob(4, raw.Bytes());
    if (setxattr(path.c_str(), "security.NTACL", blob.data(), blob.size(), 0) != 0)
        GTEST_SKIP() << "security.* attributes cannot be set here: " << std::strerror(errno);
    EXPECT_EQ(Security("D:\\f", 7), Descriptor(0x8004, "", raw.dacl, raw.owner, raw.group));
    EXPECT_EQ(Security("D:\\f", OWNER_SECURITY_INFORMATION),
              Descriptor(0x8000, "", "", raw.owner, ""));
    const std::string damaged = blob.substr(0, blob.size() - 1);
    ASSERT_EQ(setxattr(path.c_str(), "security.NTACL", damaged.data(), damaged.size(), 0),
              0);
    EXPECT_EQ(Security("D:\\f", 7), made);
}

class NtfsSecurityTest : public FileSecurityTest {
protected:
    void SetUp() override {
        if (!volume.Unavailable().empty()) GTEST_SKIP() << volume.Unavailable();
        mvx::MapDrive('N', volume.Root());
    }

    void SetRaw(const std::string& relative, const char* name, const std::string& value) {
        const std::string path = volume.Root() + "/" + relative;
        ASSERT_EQ(setxattr(path.c_str(), name, value.data(), value.size(), 0), 0)
            << name << ": " << std::strerror(errno);
    }

    NtfsVolume volume;
};

TEST_F(NtfsSecurityTest, TheRawDescriptorIsHandedOutWithTheRequestedParts) {
    std::ofstream(volume.Root() + "/f.txt") << "data";
    const RawDescriptor raw;
    SetRaw("f.txt", "system.ntfs_acl", raw.Bytes());
    EXPECT_EQ(Security("N:\\f.txt", 7), Descriptor(0x8004, "", raw.dacl, raw.owner, raw.group));
    mvx::SetSecurityPrivilegeEnabled(true);
    EXPECT_EQ(Security("N:\\f.txt", 15), raw.Bytes());
}

TEST_F(NtfsSecurityTest, BackupReadingCarriesTheNtfsAttributesOfAFile) {
    std::ofstream(volume.Root() + "/f.txt") << "data";
    // One extended attribute "ABC" = "xy", as NTFS lists them.
    const std::string ea = Dword(16) + std::string{0, 3} + Word(2) + "ABC" + '\0' + "xy" + Word(0);
    const std::string objectId = "0123456789abcdef";
    SetRaw("f.txt", "system.ntfs_ea", ea);
    SetRaw("f.txt", "user.notes", "n");
    SetRaw("f.txt", "system.ntfs_object_id", objectId);

    Handle file(OpenName("N:\\f.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(file.IsValid()) << GetLastError();
    LPVOID context = nullptr;
    std::vector<std::string> streams;  // each read is one whole stream here
    char buffer[4096];
    DWORD read = 0;
    while (BackupRead(file.Get(), reinterpret_cast<LPBYTE>(buffer), sizeof(buffer), &read, FALSE,
                      TRUE, &context) &&
           read > 0)
        streams.emplace_back(buffer, read);
    BackupRead(file.Get(), nullptr, 0, nullptr, TRUE, FALSE, &context);

    auto stream = [](DWORD id, DWORD attributes, const std::string& name, const std::string& data) {
        return Dword(id) + Dword(attributes) + Dword(static_cast<DWORD>(data.size())) + Dword(0) +
               Dword(static_cast<DWORD>(name.size())) + name + data;
    };
    const std::string notes{':', 0, 'n', 0, 'o', 0, 't', 0, 'e', 0, 's', 0,
                            ':', 0, '$', 0, 'D', 0, 'A', 0, 'T', 0, 'A', 0};
    ASSERT_EQ(streams.size(), 5u);
    EXPECT_EQ(streams[0], stream(BACKUP_DATA, 0, "", "data"));
    EXPECT_EQ(streams[1], stream(BACKUP_EA_DATA, 0, "", ea));
    EXPECT_EQ(streams[2], stream(BACKUP_SECURITY_DATA, 2, "", Security("N:\\f.txt", 7)));
    EXPECT_EQ(streams[3], stream(BACKUP_ALTERNATE_DATA, 0, notes, "n"));
    EXPECT_EQ(streams[4].substr(0, 4), Dword(BACKUP_OBJECT_ID));
    EXPECT_EQ(streams[4].substr(20, 16), objectId);  // ntfs-3g reads back 64 bytes
}

}  // namespace
