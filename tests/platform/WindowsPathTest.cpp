// The Windows namespace of the layer: full paths as Windows computes them,
// and how names reach Linux files through the drive map.
#include "MappedDriveSupport.h"

#include "platform/posix/files/DriveMap.h"

#include <unistd.h>

namespace {

using WindowsPath = MappedDriveTest;

TEST_F(WindowsPath, RelativeNamesStartFromTheCurrentDirectory) {
    mvx::SetCurrentDirectory("D:\\work\\area");
    EXPECT_EQ(FullPathOf("a\\b.txt"), "D:\\work\\area\\a\\b.txt");
    EXPECT_EQ(FullPathOf("."), "D:\\work\\area");
    EXPECT_EQ(FullPathOf(".\\x\\..\\y"), "D:\\work\\area\\y");
    EXPECT_EQ(FullPathOf("..\\sibling"), "D:\\work\\sibling");
    EXPECT_EQ(FullPathOf("\\top\\x"), "D:\\top\\x");  // rooted: the current drive's root
}

TEST_F(WindowsPath, DriveRelativeNamesUseTheirDrivesOwnDirectory) {
    mvx::SetCurrentDirectory("D:\\work");
    mvx::SetDriveDirectory('E', "E:\\data\\in");
    EXPECT_EQ(FullPathOf("E:x\\y"), "E:\\data\\in\\x\\y");
    EXPECT_EQ(FullPathOf("e:.."), "E:\\data");
    EXPECT_EQ(FullPathOf("E:"), "E:\\data\\in");
    EXPECT_EQ(FullPathOf("D:rel"), "D:\\work\\rel");  // the current drive: the current directory
    EXPECT_EQ(FullPathOf("F:x"), "F:\\x");            // a drive never visited: its root

    // Changing drives remembers where the other drive was.
    mvx::SetCurrentDirectory("E:\\elsewhere");
    EXPECT_EQ(FullPathOf("D:rel"), "D:\\work\\rel");
    EXPECT_EQ(FullPathOf("rel"), "E:\\elsewhere\\rel");
    EXPECT_EQ(FullPathOf("\\rel"), "E:\\rel");
}

TEST_F(WindowsPath, DotDotNeverClimbsAboveTheRoot) {
    mvx::SetCurrentDirectory("D:\\work");
    EXPECT_EQ(FullPathOf("D:\\..\\..\\a"), "D:\\a");
    EXPECT_EQ(FullPathOf("D:\\a\\b\\..\\..\\..\\c"), "D:\\c");
    EXPECT_EQ(FullPathOf("..\\..\\..\\.."), "D:\\");
    EXPECT_EQ(FullPathOf("\\\\server\\share\\a\\..\\..\\..\\b"), "\\\\server\\share\\b");
    EXPECT_EQ(FullPathOf("\\\\.\\pipe\\..\\..\\x"), "\\\\.\\x");
}

TEST_F(WindowsPath, SeparatorsAreNormalised) {
    EXPECT_EQ(FullPathOf("D:/a//b\\\\c/"), "D:\\a\\b\\c\\");
    EXPECT_EQ(FullPathOf("d:\\x\\.\\y\\."), "D:\\x\\y");
    EXPECT_EQ(FullPathOf("D:\\x\\y\\..\\"), "D:\\x\\");
    EXPECT_EQ(FullPathOf("//server/share"), "\\\\server\\share");
    EXPECT_EQ(FullPathOf("\\\\."), "\\\\.\\");
    EXPECT_EQ(FullPathOf("\\\\.\\pipe/x"), "\\\\.\\pipe\\x");
}

TEST_F(WindowsPath, OnlyTheLastComponentLosesTrailingDotsAndSpaces) {
    EXPECT_EQ(FullPathOf("D:\\a.\\b . ."), "D:\\a.\\b");
    EXPECT_EQ(FullPathOf("D:\\dir \\"), "D:\\dir \\");
    EXPECT_EQ(FullPathOf("D:\\a\\..."), "D:\\a\\");
}

TEST_F(WindowsPath, StartsInTheLinuxWorkingDirectoryOnZ) {
    mvx::ResetDriveMap();
    char directory[4096];
    ASSERT_NE(getcwd(directory, sizeof(directory)), nullptr);
    std::string expected = std::string("Z:") + directory + "/name";
    for (char& c : expected)
        if (c == '/') c = '\\';
    EXPECT_EQ(FullPathOf("name"), expected);
}

TEST_F(WindowsPath, NamesReachFilesBelowTheMappedDirectory) {
    temp.AddDirectory("dir");
    temp.AddFile("dir/report.txt", "on D:");
    mvx::SetCurrentDirectory("D:\\dir");
    for (const char* name :
         {"D:\\dir\\report.txt", "D:/dir//report.txt", "report.txt", "D:report.txt",
          "\\dir\\x\\..\\report.txt", "D:\\..\\dir\\report.txt"}) {
        Handle file(OpenName(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
        EXPECT_TRUE(file.IsValid()) << name << ": error " << GetLastError();
    }
    // Z: is the Linux root.
    const std::string onZ = "Z:" + temp.PathOf("dir/report.txt");
    Handle file(OpenName(onZ.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    EXPECT_TRUE(file.IsValid()) << onZ;
}

TEST_F(WindowsPath, UnmappedDrivesAndNetworkNamesAreRefused) {
    struct Case {
        const char* name;
        DWORD error;
    };
    for (const Case& c : {Case{"Q:\\x.txt", ERROR_PATH_NOT_FOUND},
                          Case{"\\\\server\\share\\x.txt", ERROR_BAD_NETPATH},
                          Case{"//server/share/x.txt", ERROR_BAD_NETPATH},
                          Case{"\\\\?\\D:\\x.txt", ERROR_BAD_NETPATH},
                          Case{"\\\\.\\D:", ERROR_BAD_NETPATH}, Case{"", ERROR_PATH_NOT_FOUND}}) {
        SetLastError(0);
        EXPECT_EQ(OpenName(c.name, GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE)
            << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    mvx::UnmapDrive('D');
    EXPECT_EQ(OpenName("D:\\x.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(temp.Exists("x.txt"));
}

// After a file that exists, Linux takes the rest of the name as the stream's
// name as it stands; an entry spelt as the whole name keeps the Windows reading.
TEST_F(WindowsPath, ColonsNameStreamsOnlyInTheLastComponent) {
    temp.AddDirectory("dir");
    temp.AddFile("dir/f.txt", "data");
    temp.AddDirectory("dir:x");
    temp.AddFile("dir:x/f.txt", "not a stream");
    {
        // The unnamed stream is the file itself.
        Handle file(
            OpenName("D:\\dir\\f.txt::$DATA", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
        EXPECT_TRUE(file.IsValid());
    }
    struct Case {
        const char* name;
        DWORD error;
    };
    for (const Case& c : {Case{"D:\\dir\\f.txt:notes", ERROR_NOT_SUPPORTED},
                          Case{"D:\\dir\\f.txt:notes:$data", ERROR_NOT_SUPPORTED},
                          Case{"D:\\dir\\f.txt:notes:$BOGUS", ERROR_NOT_SUPPORTED},
                          Case{"D:\\dir\\f.txt:", ERROR_INVALID_NAME},
                          Case{"D:\\dir\\f.txt:a:b:$DATA", ERROR_NOT_SUPPORTED},
                          Case{"D:\\dir:y\\f.txt", ERROR_NOT_SUPPORTED},
                          Case{"D:\\nodir:y\\f.txt", ERROR_INVALID_NAME},
                          Case{"D:\\dir:x\\f.txt", ERROR_INVALID_NAME},
                          // A new entry of the folder "dir:x", never a stream of "dir".
                          Case{"D:\\dir:x\\new.txt", ERROR_INVALID_NAME}}) {
        EXPECT_EQ(OpenName(c.name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING),
                  INVALID_HANDLE_VALUE)
            << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    // Nor when the new entry is named the Linux way: refused as a name with a
    // colon in a folder's place, as before streams kept their names whole.
    EXPECT_EQ(OpenName(temp.PathOf("dir:x/new.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                       OPEN_EXISTING),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
}

}  // namespace
