#include "common/ProcessToken.h"

#include <gtest/gtest.h>

#include "platform/posix/core/FaultInjection.h"

namespace {

const DWORD kAdjustAndQuery = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY;

class ProcessTokenTest : public ::testing::Test {
protected:
    void SetUp() override { mvx::ClearFaults(); }
    void TearDown() override { mvx::ClearFaults(); }
};

TEST_F(ProcessTokenTest, OpensAndClosesTheCurrentProcessToken) {
    CProcessToken token;
    ASSERT_TRUE(token.Open(GetCurrentProcess(), kAdjustAndQuery));
    EXPECT_TRUE(token.IsOpen());
    EXPECT_TRUE(token.Close());
    EXPECT_FALSE(token.IsOpen());
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 1u);
}

TEST_F(ProcessTokenTest, NothingHeldMeansNoSystemCall) {
    {
        CProcessToken token;
        EXPECT_TRUE(token.Close());
    }
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 0u);
}

TEST_F(ProcessTokenTest, RefusedTokenIsNotHeld) {
    mvx::InjectFault("OpenProcessToken", 1, ERROR_ACCESS_DENIED);
    {
        CProcessToken token;
        EXPECT_FALSE(token.Open(GetCurrentProcess(), kAdjustAndQuery));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_FALSE(token.IsOpen());
    }
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 0u);
}

TEST_F(ProcessTokenTest, FailedCloseKeepsTheTokenForAnotherTry) {
    CProcessToken token;
    ASSERT_TRUE(token.Open(GetCurrentProcess(), kAdjustAndQuery));
    mvx::InjectFault("CloseHandle", 1, ERROR_INVALID_HANDLE);
    EXPECT_FALSE(token.Close());
    EXPECT_TRUE(token.IsOpen());
    EXPECT_TRUE(token.Close());
    EXPECT_FALSE(token.IsOpen());
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 2u);
}

TEST_F(ProcessTokenTest, OpeningAgainReleasesTheOldToken) {
    {
        CProcessToken token;
        ASSERT_TRUE(token.Open(GetCurrentProcess(), kAdjustAndQuery));
        ASSERT_TRUE(token.Open(GetCurrentProcess(), TOKEN_QUERY));
        EXPECT_EQ(mvx::CallCount("CloseHandle"), 1u);
    }
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 2u);
}

}  // namespace
