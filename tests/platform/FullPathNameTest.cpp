// GetFullPathNameA: the size protocol, the file part and multi-byte names.
#include "MappedDriveSupport.h"

#include "platform/posix/text/CodePages.h"
#include "platform/posix/files/DriveMap.h"
#include "platform/posix/core/FaultInjection.h"

#include <cstring>

namespace {

using FullPathName = MappedDriveTest;

// "表" in code page 932: its trail byte is the code of a backslash.
const char kTable932[] = "\x95\x5C";

TEST_F(FullPathName, ResultThatFitsReturnsItsLengthAndFilePart) {
    char buffer[64];
    char* filePart = nullptr;
    const DWORD length = GetFullPathNameA("D:\\dir\\report.txt", sizeof(buffer), buffer, &filePart);
    EXPECT_EQ(length, 17u);
    EXPECT_STREQ(buffer, "D:\\dir\\report.txt");
    EXPECT_EQ(filePart, buffer + 7);
}

TEST_F(FullPathName, TooSmallBufferGetsTheNeededSizeAndStaysUntouched) {
    const char* name = "D:\\dir\\report.txt";  // 17 characters
    EXPECT_EQ(GetFullPathNameA(name, 0, nullptr, nullptr), 18u);

    char buffer[17];
    std::memset(buffer, '#', sizeof(buffer));
    char* filePart = buffer;
    EXPECT_EQ(GetFullPathNameA(name, sizeof(buffer), buffer, &filePart), 18u);
    EXPECT_EQ(std::string(buffer, sizeof(buffer)), std::string(sizeof(buffer), '#'));
    EXPECT_EQ(filePart, buffer);

    char exact[18];
    EXPECT_EQ(GetFullPathNameA(name, sizeof(exact), exact, nullptr), 17u);
    EXPECT_STREQ(exact, name);
}

TEST_F(FullPathName, NoFilePartWhenTheResultEndsInABackslash) {
    char buffer[64];
    char* filePart = buffer;
    EXPECT_EQ(GetFullPathNameA("D:/dir/", sizeof(buffer), buffer, &filePart), 7u);
    EXPECT_STREQ(buffer, "D:\\dir\\");
    EXPECT_EQ(filePart, nullptr);
    filePart = buffer;
    EXPECT_EQ(GetFullPathNameA("D:", sizeof(buffer), buffer, &filePart), 3u);
    EXPECT_EQ(filePart, nullptr);
}

TEST_F(FullPathName, EmptyOrMissingNameIsRefused) {
    char buffer[64];
    SetLastError(0);
    EXPECT_EQ(GetFullPathNameA("", sizeof(buffer), buffer, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(GetFullPathNameA(nullptr, sizeof(buffer), buffer, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(FullPathName, DoubleByteTrailBytesAreNotSeparators) {
    mvx::SetCodePages(932, 0);
    mvx::SetCurrentDirectory("D:\\");
    char buffer[64];
    char* filePart = nullptr;

    // "表\表": one real backslash between two characters.
    const std::string name = std::string("D:\\") + kTable932 + "\\" + kTable932;
    ASSERT_EQ(GetFullPathNameA(name.c_str(), sizeof(buffer), buffer, &filePart), 8u);
    EXPECT_EQ(std::string(buffer), name);
    EXPECT_EQ(filePart, buffer + 6);

    // A name ending in the trail byte does not end in a backslash.
    ASSERT_EQ(GetFullPathNameA(kTable932, sizeof(buffer), buffer, &filePart), 5u);
    EXPECT_EQ(std::string(buffer), std::string("D:\\") + kTable932);
    EXPECT_EQ(filePart, buffer + 3);

    // ".." removes the whole component "表", not half of it.
    const std::string up = std::string("D:\\a") + kTable932 + "\\..\\x";
    EXPECT_EQ(FullPathOf(up.c_str()), "D:\\x");
}

TEST_F(FullPathName, DoubleByteNamesReachTheirUtf8Files) {
    mvx::SetCodePages(932, 0);
    const std::string name = std::string("D:\\") + kTable932 + ".txt";
    Handle file(OpenName(name.c_str(), GENERIC_WRITE, 0, CREATE_NEW));
    ASSERT_TRUE(file.IsValid()) << GetLastError();
    EXPECT_TRUE(temp.Exists("\xE8\xA1\xA8.txt"));  // "表.txt" in UTF-8

    // A lead byte without its trail is no name of the page.
    EXPECT_EQ(OpenName("D:\\bad\x95", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
}

TEST_F(FullPathName, CurrentDirectoryOutsideTheAnsiPageIsReported) {
    mvx::SetCodePages(1252, 0);
    mvx::SetCurrentDirectory("D:\\\xE8\xA1\xA8");  // "表" has no place in code page 1252
    char buffer[64];
    EXPECT_EQ(GetFullPathNameA("x", sizeof(buffer), buffer, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST_F(FullPathName, InjectedFaultFailsTheCall) {
    mvx::InjectFault("GetFullPathNameA", 1, ERROR_NOT_ENOUGH_MEMORY);
    char buffer[64];
    EXPECT_EQ(GetFullPathNameA("D:\\x", sizeof(buffer), buffer, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GetFullPathNameA("D:\\x", sizeof(buffer), buffer, nullptr), 4u);
}

}  // namespace
