#include "common/FullPath.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/core/FaultInjection.h"
#include "tests/common/TempDrive.h"

namespace {

class FullPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        mvx::ClearFaults();
        drive.Directory().AddDirectory("dir");
        mvx::SetCurrentDirectory("D:\\dir");
    }
    void TearDown() override { mvx::ClearFaults(); }

    // An absolute name of exactly `length` characters on D:, made of
    // components short enough for any file system.
    static std::string NameOfLength(size_t length) {
        std::string name = "D:\\";
        while (name.size() + 101 < length)
            name += std::string(100, 'a') + "\\";
        name += std::string(length - name.size(), 'b');
        return name;
    }

    TempDrive drive{'D'};
    CStringBase<char> path;
    int filePart = -1;
};

TEST_F(FullPathTest, RelativeNameResolvesAgainstTheCurrentDirectory) {
    ASSERT_TRUE(GetFullPath("report.txt", path, filePart));
    EXPECT_STREQ(path.Ptr(), "D:\\dir\\report.txt");
    EXPECT_EQ(path.Length(), 17);
    EXPECT_EQ(filePart, 7);
    EXPECT_STREQ(path.Ptr() + filePart, "report.txt");
}

TEST_F(FullPathTest, FilePartOfANameEndingInABackslashIsTheEnd) {
    ASSERT_TRUE(GetFullPath("D:\\dir\\", path, filePart));
    EXPECT_STREQ(path.Ptr(), "D:\\dir\\");
    EXPECT_EQ(filePart, 7);
    ASSERT_TRUE(GetFullPath("..", path, filePart));
    EXPECT_STREQ(path.Ptr(), "D:\\");
    EXPECT_EQ(filePart, 3);
}

TEST_F(FullPathTest, ShortFormGivesTheSamePath) {
    CStringBase<char> shortForm;
    ASSERT_TRUE(GetFullPath("sub\\..\\report.txt", shortForm));
    EXPECT_STREQ(shortForm.Ptr(), "D:\\dir\\report.txt");
}

TEST_F(FullPathTest, OnlyPathsShorterThanTheLimitSucceed) {
    std::string longest = NameOfLength(MAX_PATH - 1);
    ASSERT_TRUE(GetFullPath(longest.c_str(), path, filePart));
    EXPECT_EQ(path.Length(), MAX_PATH - 1);
    EXPECT_EQ(filePart, static_cast<int>(longest.rfind('\\')) + 1);

    CStringBase<char> atLimit;
    EXPECT_FALSE(GetFullPath(NameOfLength(MAX_PATH).c_str(), atLimit));
    CStringBase<char> beyond;
    EXPECT_FALSE(GetFullPath(NameOfLength(MAX_PATH + 1).c_str(), beyond));
    EXPECT_FALSE(GetFullPath(NameOfLength(1000).c_str(), beyond));
}

TEST_F(FullPathTest, BufferGivenToTheSystemHoldsTheLongestPath) {
    CStringBase<char> fresh;
    ASSERT_TRUE(GetFullPath("x", fresh));
    EXPECT_EQ(fresh.Capacity(), MAX_PATH + 2);
}

TEST_F(FullPathTest, SystemFailureIsReported) {
    mvx::InjectFault("GetFullPathNameA", 1, ERROR_INVALID_NAME);
    EXPECT_FALSE(GetFullPath("report.txt", path, filePart));
    EXPECT_EQ(path.Length(), 0);
    EXPECT_EQ(filePart, -1);
}

}  // namespace
