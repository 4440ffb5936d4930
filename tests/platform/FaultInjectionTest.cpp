#include "platform/posix/core/FaultInjection.h"

#include <gtest/gtest.h>

namespace {

TEST(FaultInjection, FailsExactlyTheNthCallWithItsCode) {
    mvx::ClearFaults();
    mvx::InjectFault("Example", 2, ERROR_ACCESS_DENIED);
    SetLastError(0);
    EXPECT_FALSE(mvx::FaultHit("Example"));
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_TRUE(mvx::FaultHit("Example"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(mvx::FaultHit("Example"));
    EXPECT_EQ(mvx::CallCount("Example"), 3u);
    EXPECT_EQ(mvx::CallCount("Other"), 0u);
    mvx::ClearFaults();
}

TEST(FaultInjection, ClearForgetsPendingFaults) {
    mvx::InjectFault("Example", 1, ERROR_DISK_FULL);
    mvx::ClearFaults();
    EXPECT_FALSE(mvx::FaultHit("Example"));
    mvx::ClearFaults();
}

}  // namespace
