#include "common/FindHandle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <sys/time.h>
#include <unistd.h>

#include "platform/posix/core/FaultInjection.h"
#include "tests/common/TempDrive.h"

namespace {

uint64_t Ticks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// 100-ns ticks since 1601 of a Linux time in seconds.
uint64_t TicksOfLinuxTime(uint64_t seconds) {
    return (seconds + 11644473600ull) * 10000000ull;
}

class FindHandleTest : public ::testing::Test {
protected:
    void SetUp() override { mvx::ClearFaults(); }
    void TearDown() override { mvx::ClearFaults(); }

    TempDrive drive{'D'};
};

TEST_F(FindHandleTest, FileExistsDescribesTheFile) {
    drive.Directory().AddDirectory("dir");
    drive.Directory().AddFile("dir/report.txt", "twelve bytes");
    FileInfo info;
    ASSERT_TRUE(FileExists("D:\\dir\\report.txt", info));
    EXPECT_STREQ(info.name.Ptr(), "report.txt");
    EXPECT_EQ(info.size, 12u);
    EXPECT_EQ(info.attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NE(info.lastWriteTime.dwHighDateTime, 0u);
    EXPECT_EQ(mvx::CallCount("FindFirstFileA"), 1u);
    EXPECT_EQ(mvx::CallCount("FindClose"), 1u);
}

TEST_F(FindHandleTest, EachTimeLandsInItsOwnField) {
    std::string path = drive.Directory().AddFile("dated.txt", "x");
    const timeval times[2] = {{1000000000, 0}, {1100000000, 0}};  // access, write
    ASSERT_EQ(utimes(path.c_str(), times), 0);
    FileInfo info;
    ASSERT_TRUE(FileExists("D:\\dated.txt", info));
    EXPECT_EQ(Ticks(info.lastAccessTime), TicksOfLinuxTime(1000000000));
    EXPECT_EQ(Ticks(info.lastWriteTime), TicksOfLinuxTime(1100000000));
}

TEST_F(FindHandleTest, FileExistsAcceptsADirectory) {
    drive.Directory().AddDirectory("dir");
    FileInfo info;
    ASSERT_TRUE(FileExists("D:\\dir", info));
    EXPECT_NE(info.attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_STREQ(info.name.Ptr(), "dir");
}

TEST_F(FindHandleTest, FileExistsReportsTheOnlyWildcardMatch) {
    drive.Directory().AddFile("notes.md", "x");
    drive.Directory().AddFile("report.txt", "xyz");
    FileInfo info;
    ASSERT_TRUE(FileExists("D:\\*.txt", info));
    EXPECT_STREQ(info.name.Ptr(), "report.txt");
    EXPECT_EQ(info.size, 3u);
}

TEST_F(FindHandleTest, MissingNameFindsNothingAndClosesNothing) {
    FileInfo info;
    info.name = "untouched";
    EXPECT_FALSE(FileExists("D:\\missing.txt", info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_STREQ(info.name.Ptr(), "untouched");
    EXPECT_EQ(mvx::CallCount("FindClose"), 0u);
}

TEST_F(FindHandleTest, SizeAboveFourGigabytesIsAssembledFromBothHalves) {
    const uint64_t size = 0x1FFFFFFFFull;
    ASSERT_EQ(truncate64(drive.Directory().AddFile("sparse.bin").c_str(), size), 0);
    FileInfo info;
    ASSERT_TRUE(FileExists("D:\\sparse.bin", info));
    EXPECT_EQ(info.size, size);
}

TEST_F(FindHandleTest, FindingAgainEndsTheOldSearch) {
    drive.Directory().AddFile("a.txt");
    FileInfo info;
    {
        CFindHandle search;
        EXPECT_TRUE(search.Close());
        EXPECT_EQ(mvx::CallCount("FindClose"), 0u);
        ASSERT_TRUE(search.FindFirst("D:\\a.txt", info));
        ASSERT_TRUE(search.FindFirst("D:\\*", info));
        EXPECT_EQ(mvx::CallCount("FindClose"), 1u);
        EXPECT_FALSE(search.FindFirst("D:\\none*", info));
        EXPECT_FALSE(search.IsOpen());
        EXPECT_EQ(mvx::CallCount("FindClose"), 2u);
    }
    EXPECT_EQ(mvx::CallCount("FindClose"), 2u);
}

TEST_F(FindHandleTest, SearchIsGivenUpEvenWhenClosingFails) {
    drive.Directory().AddFile("a.txt");
    FileInfo info;
    CFindHandle search;
    ASSERT_TRUE(search.FindFirst("D:\\a.txt", info));
    HANDLE held = search.Handle();
    mvx::InjectFault("FindClose", 1, ERROR_INVALID_HANDLE);
    EXPECT_FALSE(search.Close());
    EXPECT_FALSE(search.IsOpen());
    EXPECT_TRUE(search.Close());
    EXPECT_EQ(mvx::CallCount("FindClose"), 1u);
    EXPECT_TRUE(FindClose(held));  // what the refused close left behind
}

}  // namespace
