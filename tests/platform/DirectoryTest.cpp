// CreateDirectoryA and SetCurrentDirectoryA: what they make or change, and
// the errors of names that cannot be made or entered.
#include "MappedDriveSupport.h"
#include "NamedStreamSupport.h"

#include "platform/posix/files/DriveMap.h"

#include <sys/stat.h>

namespace {

using Directory = MappedDriveTest;

struct Case { const char *name, *result, *after; };

TEST_F(Directory, CreateDirectoryMakesOneDirectoryOrTellsWhyNot) {
    PutBytes(temp, "file", "");
    const Case cases[] = {
        {"D:\\new", "ok", "new"},
        {"D:\\dots..", "ok", "dots"},  // Windows's reading: D:\dots
        {"D:\\new.", "error 183", "new"},
        {"D:\\file", "error 183", "file"},
        {"D:\\missing\\new", "error 3", "new"},
        {"D:\\new:s", "error 123", "new"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Outcome(CreateDirectoryA(c.name, nullptr)), c.result) << c.name;
        EXPECT_EQ(S_ISDIR(ModeOf(temp, c.after)), c.after != std::string("file"));
    }
    EXPECT_FALSE(temp.Exists("missing"));
}

// Each step runs on the state the one before left; a refused step changes
// nothing. Every drive remembers its own directory, as on Windows.
TEST_F(Directory, SetCurrentDirectoryKeepsADirectoryPerDrive) {
    for (const char* name : {"sub", "sub/deeper", "dir.", "e", "e/inner"}) temp.AddDirectory(name);
    PutBytes(temp, "file", "");
    mvx::MapDrive('E', temp.PathOf("e"));
    const Case steps[] = {  // `after`: where the name "x" leads afterwards
        {"D:\\sub", "ok", "D:\\sub\\x"},
        {"deeper", "ok", "D:\\sub\\deeper\\x"},
        {"..\\..\\file", "error 267", "D:\\sub\\deeper\\x"},
        {"D:\\missing", "error 2", "D:\\sub\\deeper\\x"},
        {"D:\\missing\\x", "error 3", "D:\\sub\\deeper\\x"},
        {"D:\\sub:s", "error 123", "D:\\sub\\deeper\\x"},
        {"E:\\inner\\", "ok", "E:\\inner\\x"},
        {"D:", "ok", "D:\\sub\\deeper\\x"},
        {"D:\\dir.", "ok", "D:\\dir.\\x"},  // held so spelt
        {"\\", "ok", "D:\\x"},
    };
    for (const Case& step : steps) {
        EXPECT_EQ(Outcome(SetCurrentDirectoryA(step.name)), step.result) << step.after;
        EXPECT_EQ(FullPathOf("x"), step.after);
    }
}

// Read-only is the absence of write bits; taking it away gives writing back
// as the umask would give it to a new file. A symbolic link has attributes of
// its own, as on Windows, and Linux keeps none for it: the file it names,
// often not the caller's to change, keeps its mode.
TEST_F(Directory, SetFileAttributesTurnsReadOnlyIntoWriteBits) {
    PutBytes(temp, "f", "");
    PutBytes(temp, "f:s", "");
    temp.AddDirectory("d");
    ASSERT_EQ(symlink(temp.PathOf("f").c_str(), temp.PathOf("link").c_str()), 0);
    ASSERT_EQ(symlink(temp.PathOf("none").c_str(), temp.PathOf("dangling").c_str()), 0);
    struct Attributes { const char* name; mode_t umask, before; DWORD set; const char* result;
                        mode_t after; };
    const Attributes cases[] = {
        {"D:\\f", 022, 0664, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, "ok", 0444},
        {"D:\\f", 022, 0444, FILE_ATTRIBUTE_NORMAL, "ok", 0644},
        {"D:\\f", 002, 0444, 0, "ok", 0664},
        {"D:\\f", 000, 0440, 0, "ok", 0660},  // others may not read: no writing
        {"D:\\f", 022, 0640, 0, "ok", 0640},  // not read-only: left alone
        {"D:\\f:s", 022, 0644, FILE_ATTRIBUTE_READONLY, "ok", 0444},  // sets its file
        {"D:\\f:none", 022, 0644, FILE_ATTRIBUTE_READONLY, "error 2", 0644},
        {"D:\\missing\\x", 022, 0644, FILE_ATTRIBUTE_READONLY, "error 3", 0644},
        {"D:\\d", 022, 0644, FILE_ATTRIBUTE_READONLY, "ok", 0644},  // "d" keeps 0755
        {"D:\\link", 022, 0444, 0, "ok", 0444},
        {"D:\\link", 022, 0644, FILE_ATTRIBUTE_READONLY, "ok", 0644},
        {"D:\\dangling", 022, 0644, FILE_ATTRIBUTE_READONLY, "ok", 0644},
        {"D:\\link:s", 022, 0644, FILE_ATTRIBUTE_READONLY, "ok", 0444},  // the stream of f
    };
    for (const Attributes& c : cases) {
        ASSERT_EQ(chmod(temp.PathOf("f").c_str(), c.before), 0);
        const mode_t mask = umask(c.umask);
        EXPECT_EQ(Outcome(SetFileAttributesA(c.name, c.set)), c.result) << c.name;
        umask(mask);
        EXPECT_EQ(ModeOf(temp, "f") & 07777, c.after) << std::oct << c.before << " " << c.set;
        EXPECT_EQ(ModeOf(temp, "d") & 07777, 0755u);
    }
}

}  // namespace
