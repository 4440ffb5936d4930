// The words of an access entry: the rights block of a mask, the specific
// rights of files and directories, inheritance flags and access modes.
#include "security/AccessRights.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const CStringBase<char>& text) {
    return text.Ptr();
}

TEST(AccessRights, MasksInWords) {
    struct Case {
        DWORD mask;
        const char* system;
        const char* generic;
        const char* standard;
        const char* file;
        const char* directory;
    };
    const Case cases[] = {
        {0, "False", "", "", "", ""},
        {0x01000000, "True", "", "", "", ""},
        {0x10000000, "False", "All ", "", "", ""},
        {0xF0000000, "False", "All XWR", "", "", ""},
        {0x000F0000, "False", "", " Delete  ReadControl ChangePermissions WriteOwner", "", ""},
        {0x00100000, "False", "", " Synchronize", "", ""},
        // Standard bits above SYNCHRONIZE and object bits from 0x400 up have no words.
        {0x0EE0FC00, "False", "", "", "", ""},
        {0x40, "False", "", "", "", " DeleteChild"},
        {0x200, "False", "", "", " CreatePipe", " CreatePipe"},
        {0x3FF, "False", "", "",
         " Read Write Append ReadProp WriteProp Execute ReadAttrib WriteAttrib CreatePipe",
         " List CreateObject CreateChild ReadProp WriteProp Traverse DeleteChild ReadAttrib "
         "WriteAttrib CreatePipe"},
        {0x001200A9, "False", "", " ReadControl Synchronize", " Read ReadProp Execute ReadAttrib",
         " List ReadProp Traverse ReadAttrib"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text(RightsText(c.mask)), std::string("Access system security: ") + c.system +
                                                "\r\nGeneric: " + c.generic +
                                                "\r\nStandard rights:" + c.standard + "\r\n")
            << std::hex << c.mask;
        EXPECT_EQ(Text(FileRightsText(c.mask & 0xFFFF)), c.file) << std::hex << c.mask;
        EXPECT_EQ(Text(DirectoryRightsText(c.mask & 0xFFFF)), c.directory) << std::hex << c.mask;
    }
}

TEST(AccessRights, InheritanceFlagsAndAccessModes) {
    const std::pair<DWORD, const char*> inheritance[] = {
        {0, "NO_INHERITANCE"},
        {3, " OBJECT_INHERIT_ACE CONTAINER_INHERIT_ACE"},
        {0x10, " INHERITED_ACE"},
        {0x1F, " OBJECT_INHERIT_ACE CONTAINER_INHERIT_ACE NO_PROPAGATE_INHERIT_ACE "
               "INHERIT_ONLY_ACE INHERITED_ACE"},
        {0x20, ""},
        {0xFFFFFFE0, ""},
    };
    for (const auto& c : inheritance)
        EXPECT_EQ(Text(InheritanceText(c.first)), c.second) << std::hex << c.first;

    const char* const modes[] = {"NOT_USED_ACCESS",   "GRANT_ACCESS",      "SET_ACCESS",
                                 "DENY_ACCESS",       "REVOKE_ACCESS",     "SET_AUDIT_SUCCESS",
                                 "SET_AUDIT_FAILURE", "Unknown"};
    for (DWORD mode = 0; mode <= 7; ++mode)
        EXPECT_STREQ(AccessModeName(mode), modes[mode]) << mode;
    EXPECT_STREQ(AccessModeName(0xFFFFFFFF), "Unknown");
}

}  // namespace
