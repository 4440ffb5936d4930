// FindFirstFileA and FindClose on a mapped drive.
#include "MappedDriveSupport.h"

#include "platform/posix/text/CodePages.h"
#include "platform/posix/files/DriveMap.h"
#include "platform/posix/core/FaultInjection.h"

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using FindFiles = MappedDriveTest;

// The Unix epoch as a FILETIME: 100 ns ticks since 1601-01-01.
const unsigned long long kEpochTicks = 116444736000000000ULL;

unsigned long long Ticks(const FILETIME& time) {
    return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The first entry a search reports, or "<error N>".
std::string FirstMatch(const char* name, WIN32_FIND_DATAA* found = nullptr) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(name, &data);
    if (search == INVALID_HANDLE_VALUE) return "<error " + std::to_string(GetLastError()) + ">";
    FindClose(search);
    if (found) *found = data;
    return data.cFileName;
}

std::string Error(DWORD code) { return "<error " + std::to_string(code) + ">"; }

TEST_F(FindFiles, ReportsAFileAsWindowsDescribesIt) {
    const std::string path = temp.AddFile("report.txt", "twelve bytes");
    const struct timespec times[2] = {{1, 0}, {0, 500000000}};  // access, write
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    WIN32_FIND_DATAA data;
    ASSERT_EQ(FirstMatch("D:\\report.txt", &data), "report.txt");
    EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    EXPECT_EQ(data.nFileSizeLow, 12u);
    EXPECT_EQ(Ticks(data.ftLastAccessTime), kEpochTicks + 10000000);
    EXPECT_EQ(Ticks(data.ftLastWriteTime), kEpochTicks + 5000000);
    EXPECT_EQ(data.dwReserved0, 0u);
    EXPECT_STREQ(data.cAlternateFileName, "");

    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(FirstMatch("D:\\report.txt", &data), "report.txt");
    EXPECT_EQ(data.dwFileAttributes,
              static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
}

TEST_F(FindFiles, CreationTimeIsWhenTheFileWasMade) {
    using Clock = std::chrono::system_clock;
    auto ticksNow = [] {
        const auto since = Clock::now().time_since_epoch();
        return kEpochTicks +
               std::chrono::duration_cast<std::chrono::microseconds>(since).count() * 10;
    };
    const unsigned long long before = ticksNow() - 20000000;  // file systems round
    temp.AddFile("new.txt");
    const unsigned long long after = ticksNow() + 20000000;
    WIN32_FIND_DATAA data;
    ASSERT_EQ(FirstMatch("D:\\new.txt", &data), "new.txt");
    EXPECT_GE(Ticks(data.ftCreationTime), before);
    EXPECT_LE(Ticks(data.ftCreationTime), after);
}

TEST_F(FindFiles, DirectoryIsFoundByItsName) {
    temp.AddDirectory("dir");
    mvx::SetCurrentDirectory("D:\\dir");
    WIN32_FIND_DATAA data;
    ASSERT_EQ(FirstMatch("D:\\dir", &data), "dir");
    EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(data.nFileSizeLow, 0u);
    EXPECT_EQ(FirstMatch("."), "dir");
    EXPECT_EQ(FirstMatch("D:\\dir\\sub\\.."), "dir");
}

TEST_F(FindFiles, LargeSizeIsSplitInTwo) {
    ASSERT_EQ(truncate64(temp.AddFile("sparse.bin").c_str(), 0x1FFFFFFFFLL), 0);
    WIN32_FIND_DATAA data;
    ASSERT_EQ(FirstMatch("D:\\sparse.bin", &data), "sparse.bin");
    EXPECT_EQ(data.nFileSizeHigh, 1u);
    EXPECT_EQ(data.nFileSizeLow, 0xFFFFFFFFu);
}

// Drive E: holds a single file, and a drive root lists no "." or "..", so
// the first match says whether the pattern takes that one name.
TEST_F(FindFiles, WildcardsMatchAsOnWindows) {
    struct Case {
        const char* file;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"noext", "*", true},
        {"noext", "*.*", true},
        {"noext", "*.", true},
        {"noext", "NOEXT?", true},
        {"noext", "n?ext", true},
        {"noext", "*.txt", false},
        {"noext", "noe?", false},
        {"Report.TXT", "*.txt", true},
        {"Report.TXT", "r*T", true},
        {"Report.TXT", "*.", false},
        {"Report.TXT", "report.???", true},
        {"Report.TXT", "report.??", false},
        {"a.txt.bak", "*.txt", false},
        {"a.txt.bak", "*.bak", true},
        {"a.txt.bak", "a.*", true},
        {"a.txt.bak", "*t.b*", true},
        {".profile", "*.*", true},
        {".profile", "*", true},
        {"x", "x.*", true},
        {"\xC3\xA9t\xC3\xA9", "\xC3\x89T*", true},  // é folds to É
    };
    for (const Case& c : cases) {
        TempDirectory root;
        root.AddFile(c.file);
        mvx::MapDrive('E', root.Path());
        const std::string pattern = std::string("E:\\") + c.pattern;
        EXPECT_EQ(FirstMatch(pattern.c_str()), c.matches ? c.file : Error(ERROR_FILE_NOT_FOUND))
            << c.pattern << " against " << c.file;
    }
}

TEST_F(FindFiles, DotEntriesComeFirstBelowADriveRoot) {
    temp.AddDirectory("dir");
    temp.AddFile("dir/a.txt");
    WIN32_FIND_DATAA data;
    ASSERT_EQ(FirstMatch("D:\\dir\\*", &data), ".");
    EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(FirstMatch("D:\\dir\\*.txt"), "a.txt");
    EXPECT_EQ(FirstMatch("D:\\*"), "dir");
    mvx::SetCurrentDirectory("D:\\dir");
    EXPECT_EQ(FirstMatch("*.t?t"), "a.txt");
    EXPECT_EQ(FirstMatch("D:*.txt"), "a.txt");
}

TEST_F(FindFiles, MissingEntriesAndDirectoriesAreToldApart) {
    temp.AddDirectory("dir");
    EXPECT_EQ(FirstMatch("D:\\dir\\missing.txt"), Error(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FirstMatch("D:\\dir\\*.none"), Error(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FirstMatch("D:\\nodir\\x.txt"), Error(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FirstMatch("D:\\nodir\\*"), Error(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FirstMatch("D:\\dir\\"), Error(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FirstMatch("D:\\"), Error(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FirstMatch("D:\\dir\\.."), Error(ERROR_FILE_NOT_FOUND));  // the root again
    EXPECT_EQ(FirstMatch(""), Error(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(FirstMatch("\\\\server\\share\\*"), Error(ERROR_BAD_NETPATH));
    EXPECT_EQ(FirstMatch("D:\\dir:stream"), Error(ERROR_INVALID_NAME));
    EXPECT_EQ(FirstMatch("Q:\\x"), Error(ERROR_PATH_NOT_FOUND));
}

TEST_F(FindFiles, NamesAreReportedInTheAnsiPage) {
    mvx::SetCodePages(932, 0);
    temp.AddDirectory("jp");
    temp.AddFile("jp/\xE8\xA1\xA8.txt");  // "表.txt"
    EXPECT_EQ(FirstMatch("D:\\jp\\*.txt"), "\x95\x5C.txt");
    EXPECT_EQ(FirstMatch("D:\\jp\\\x95\x5C.txt"), "\x95\x5C.txt");

    // A name the page cannot hold is passed over rather than mangled.
    temp.AddDirectory("pl");
    temp.AddFile("pl/\xC4\x85.txt");  // "ą.txt"
    EXPECT_EQ(FirstMatch("D:\\pl\\*.txt"), Error(ERROR_FILE_NOT_FOUND));
}

TEST_F(FindFiles, SearchHandlesCloseOnce) {
    temp.AddFile("f.txt");
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA("D:\\*.txt", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    // A file handle is not a search, but CloseHandle closes a search.
    Handle file(OpenName("D:\\f.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    EXPECT_FALSE(FindClose(file.Get()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    search = FindFirstFileA("D:\\f.txt", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(search));
}

TEST_F(FindFiles, InjectedFaultsFailTheSearch) {
    temp.AddFile("f.txt");
    WIN32_FIND_DATAA data;
    mvx::InjectFault("FindFirstFileA", 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(FindFirstFileA("D:\\f.txt", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));

    HANDLE search = FindFirstFileA("D:\\f.txt", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    mvx::InjectFault("FindClose", 1, ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindClose(search));
    EXPECT_TRUE(FindClose(search));
}

}  // namespace
