// GetVersionExA and its test control.
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/VersionControl.h"
#include "platform/win32.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

class Version : public ::testing::Test {
protected:
    ~Version() override {
        mvx::ResetVersionAnswer();
        mvx::ClearFaults();
    }
};

OSVERSIONINFOA Query(DWORD size) {
    OSVERSIONINFOA info;
    std::memset(&info, 0x5A, sizeof(info));
    info.dwOSVersionInfoSize = size;
    return info;
}

TEST_F(Version, AnswersWindows10) {
    OSVERSIONINFOA info = Query(sizeof(OSVERSIONINFOA));
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    EXPECT_EQ(info.dwMajorVersion, 10u);
    EXPECT_EQ(info.dwMinorVersion, 0u);
    EXPECT_EQ(info.dwBuildNumber, 19045u);
    EXPECT_STREQ(info.szCSDVersion, "");
}

TEST_F(Version, ExtendedRecordGetsItsTailFilled) {
    unsigned char record[156 + 4];
    std::memset(record, 0x5A, sizeof(record));
    OSVERSIONINFOA* info = reinterpret_cast<OSVERSIONINFOA*>(record);
    info->dwOSVersionInfoSize = 156;
    ASSERT_TRUE(GetVersionExA(info));
    EXPECT_EQ(info->dwMajorVersion, 10u);
    // Service pack 0.0, a workstation; nothing written past the record.
    EXPECT_EQ(record[148], 0);
    EXPECT_EQ(record[150], 0);
    EXPECT_EQ(record[154], 1);
    EXPECT_EQ(record[156], 0x5A);
}

TEST_F(Version, OtherSizesAreRefusedUntouched) {
    for (DWORD size : {0u, 147u, 152u, 160u}) {
        OSVERSIONINFOA info = Query(size);
        EXPECT_FALSE(GetVersionExA(&info)) << size;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(info.dwMajorVersion, 0x5A5A5A5Au);
    }
}

TEST_F(Version, TestsChooseTheAnswerOrAFailure) {
    mvx::SetVersionAnswer(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
    OSVERSIONINFOA info = Query(sizeof(info));
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ(info.dwMajorVersion, 4u);
    EXPECT_EQ(info.dwMinorVersion, 10u);

    mvx::ResetVersionAnswer();
    mvx::InjectFault("GetVersionExA", 1, ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(GetVersionExA(&info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwMajorVersion, 10u);
}

}  // namespace
