// GetSecurityDescriptorLength, ...Owner, ...Dacl and ...Sacl on descriptors
// whole, with parts missing, and damaged. Each descriptor sits in a buffer
// of exactly its size, so a read past its end shows under the sanitizers.
#include "SecurityBytesSupport.h"

#include "platform/posix/core/FaultInjection.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

const std::string kOwner = Sid(5, {32, 544});                        // 16 bytes
const std::string kGroup = Sid(5, {18});                             // 12 bytes
const std::string kDacl = Acl({Ace(0, 3, 0x1F01FF, Everyone())});    // 28 bytes
const std::string kSacl = Acl({Ace(2, 0x40, 0x10000, Everyone())});  // 28 bytes

std::string Patched(std::string bytes, size_t at, const std::string& patch) {
    return bytes.replace(at, patch.size(), patch);
}

// An allow entry for everyone whose size claims `extra` bytes beyond its
// SID, with `padding` bytes actually there.
std::string SizedAce(int extra, size_t padding) {
    const std::string ace = Ace(0, 0, 0x120089, Everyone()) + std::string(padding, '\0');
    return Patched(ace, 2, Word(static_cast<unsigned>(20 + extra)));
}

// "length owner@offset dacl@offset sacl@offset", with "-" for a part that
// is absent, "null" for a list present without bytes and "d" for a
// defaulted part; or the error each call gave.
std::string Summary(const std::string& bytes) {
    std::vector<BYTE> exact(bytes.begin(), bytes.end());
    BYTE* descriptor = exact.data();
    auto where = [descriptor](const void* part) {
        return part ? "@" + std::to_string(static_cast<const BYTE*>(part) - descriptor) : "-";
    };
    std::string errors;
    const DWORD length = GetSecurityDescriptorLength(descriptor);
    if (length == 0) errors += " " + std::to_string(GetLastError());
    PSID owner = nullptr;
    BOOL ownerDefaulted = FALSE;
    if (!GetSecurityDescriptorOwner(descriptor, &owner, &ownerDefaulted))
        errors += " " + std::to_string(GetLastError());
    auto list = [&](bool isDacl) -> std::string {
        BOOL present = FALSE, defaulted = FALSE;
        PACL acl = nullptr;
        const BOOL ok = isDacl ? GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted)
                               : GetSecurityDescriptorSacl(descriptor, &present, &acl, &defaulted);
        if (!ok) errors += " " + std::to_string(GetLastError());
        if (!present) return acl ? "<absent but set>" : "-";
        return (acl ? where(acl) : "@null") + (defaulted ? "d" : "");
    };
    const std::string dacl = list(true), sacl = list(false);
    if (!errors.empty()) return "error" + errors;
    return std::to_string(length) + " owner" + where(owner) + (ownerDefaulted ? "d" : "") +
           " dacl" + dacl + " sacl" + sacl;
}

TEST(DescriptorParts, PointIntoTheDescriptorOrRefuseADamagedOne) {
    const std::string sub15 = Sid(5, std::vector<DWORD>(15, 7));
    const std::string sub16 = Sid(5, std::vector<DWORD>(16, 7));
    const std::string whole = Descriptor(0x8014, kSacl, kDacl, kOwner, kGroup);
    const std::string damaged = "error 1338 1338 1338 1338";
    struct Case {
        const char* what;
        std::string bytes;
        std::string expected;
    };
    const Case table[] = {
        {"whole", whole, "104 owner@76 dacl@48 sacl@20"},
        {"no owner", Descriptor(0x8014, kSacl, kDacl, "", kGroup), "88 owner- dacl@48 sacl@20"},
        {"no group", Descriptor(0x8014, kSacl, kDacl, kOwner, ""), "92 owner@76 dacl@48 sacl@20"},
        {"no DACL", Descriptor(0x8010, kSacl, "", kOwner, kGroup), "76 owner@48 dacl- sacl@20"},
        {"no SACL", Descriptor(0x8004, "", kDacl, kOwner, kGroup), "76 owner@48 dacl@20 sacl-"},
        {"null DACL", Descriptor(0x8004, "", "", kOwner, kGroup), "48 owner@20 dacl@null sacl-"},
        {"empty DACL", Descriptor(0x8004, "", Acl({}), kOwner, kGroup),
         "56 owner@28 dacl@20 sacl-"},
        {"defaulted parts", Descriptor(0x803F, kSacl, kDacl, kOwner, kGroup),
         "104 owner@76d dacl@48d sacl@20d"},
        // A list the control bits call absent is neither measured nor checked.
        {"SACL bytes without its bit",
         Patched(Descriptor(0x8004, kSacl, kDacl, kOwner, kGroup), 20, "\x01"),
         "104 owner@76 dacl@48 sacl-"},
        {"owner of 15 sub-authorities", Descriptor(0x8000, "", "", sub15, ""),
         "88 owner@20 dacl- sacl-"},
        {"owner of 16 sub-authorities", Descriptor(0x8000, "", "", sub16, ""), damaged},
        {"an entry reaching exactly the end of its list",
         Descriptor(0x8004, "", Acl({SizedAce(4, 4)}), "", ""), "52 owner- dacl@20 sacl-"},
        {"an entry one byte past its list", Descriptor(0x8004, "", Acl({SizedAce(5, 4)}), "", ""),
         damaged},
        {"a SID one byte past its entry", Descriptor(0x8004, "", Acl({SizedAce(-1, 0)}), "", ""),
         damaged},
        {"one entry more than there is", Patched(whole, 48 + 4, Word(2)), damaged},
        {"a list of 7 bytes", Patched(whole, 48 + 2, Word(7)), damaged},
        {"a list of revision 1", Patched(whole, 48, "\x01"), damaged},
        // The null DACL above has its owner right after the header.
        {"owner inside the header", Patched(whole, 4, Dword(16)), damaged},
        {"DACL inside the header", Patched(whole, 16, Dword(12)), damaged},
        {"owner far past any descriptor", Patched(whole, 4, Dword(0xFFFFFFF0)), damaged},
        {"SACL far past any descriptor", Patched(whole, 12, Dword(0x7FFFFFF0)), damaged},
        {"not self-relative", Patched(whole, 2, Word(0x0014)), damaged},
        {"revision 2", Patched(whole, 0, "\x02"), damaged},
    };
    for (const Case& c : table) EXPECT_EQ(Summary(c.bytes), c.expected) << c.what;
}

TEST(DescriptorParts, RefuseMissingArgumentsAndFailOnInjectedFaults) {
    std::string descriptor = Descriptor(0x8014, kSacl, kDacl, kOwner, kGroup);
    void* bytes = &descriptor[0];
    PSID owner = nullptr;
    PACL acl = nullptr;
    BOOL flag = FALSE;
    struct Case {
        const char* what;
        std::function<BOOL()> call;
        DWORD error;
    };
    const Case cases[] = {
        {"owner of no descriptor",
         [&] { return GetSecurityDescriptorOwner(nullptr, &owner, &flag); },
         ERROR_INVALID_PARAMETER},
        {"owner to nowhere", [&] { return GetSecurityDescriptorOwner(bytes, nullptr, &flag); },
         ERROR_INVALID_PARAMETER},
        {"owner defaulted to nowhere",
         [&] { return GetSecurityDescriptorOwner(bytes, &owner, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"DACL of no descriptor",
         [&] { return GetSecurityDescriptorDacl(nullptr, &flag, &acl, &flag); },
         ERROR_INVALID_PARAMETER},
        {"DACL present to nowhere",
         [&] { return GetSecurityDescriptorDacl(bytes, nullptr, &acl, &flag); },
         ERROR_INVALID_PARAMETER},
        {"SACL to nowhere", [&] { return GetSecurityDescriptorSacl(bytes, &flag, nullptr, &flag); },
         ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(c.call()) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
    EXPECT_EQ(GetSecurityDescriptorLength(nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    for (const char* function :
         {"GetSecurityDescriptorOwner", "GetSecurityDescriptorDacl", "GetSecurityDescriptorSacl"}) {
        mvx::InjectFault(function, 1, ERROR_NOT_ENOUGH_MEMORY);
        owner = nullptr;
        acl = nullptr;
        EXPECT_FALSE(GetSecurityDescriptorOwner(bytes, &owner, &flag) &&
                     GetSecurityDescriptorDacl(bytes, &flag, &acl, &flag) &&
                     GetSecurityDescriptorSacl(bytes, &flag, &acl, &flag))
            << function;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << function;
        mvx::ClearFaults();
    }
}

}  // namespace
