// The current process and its token handles.
#include "platform/posix/core/FaultInjection.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

namespace {

class Process : public ::testing::Test {
protected:
    ~Process() override { mvx::ClearFaults(); }
};

TEST_F(Process, TokenIsAHandleOfItsOwn) {
    HANDLE first = nullptr, second = nullptr;
    ASSERT_TRUE(
        OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &first));
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &second));
    EXPECT_NE(first, nullptr);
    EXPECT_NE(first, INVALID_HANDLE_VALUE);
    EXPECT_NE(first, second);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_FALSE(CloseHandle(second));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(Process, OnlyTheCurrentProcessHasATokenHere) {
    HANDLE token = nullptr;
    EXPECT_FALSE(OpenProcessToken(reinterpret_cast<HANDLE>(0x1234), TOKEN_QUERY, &token));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(Process, InjectedFaultsFailTheTokenOpen) {
    HANDLE token = nullptr;
    mvx::InjectFault("OpenProcessToken", 1, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    // A failing GetCurrentProcess hands out a handle no function accepts.
    mvx::InjectFault("GetCurrentProcess", 1, ERROR_INVALID_HANDLE);
    EXPECT_FALSE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
