// Named mutexes as processes of one user share them: one holder at a time,
// a wait that times out while another holds it, and a release only by the
// holder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/win32.h"
#include "tests/platform/EnvironmentSettingSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

class NamedMutex : public ::testing::Test {
protected:
    TempDirectory runtime;
    const EnvironmentSetting runtimeDirectory{"XDG_RUNTIME_DIR", runtime.Path()};
};

TEST_F(NamedMutex, OneHolderAtATime) {
    HANDLE first = CreateMutexA(nullptr, TRUE, "Local\\morvex-test");
    HANDLE second = CreateMutexA(nullptr, FALSE, "Local\\morvex-test");
    HANDLE other = CreateMutexA(nullptr, FALSE, "Local\\another");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    struct Step {
        HANDLE handle;
        const char* action;  // "wait" for 0 ms, or "release"
        DWORD result;        // what the call returns
        DWORD error;         // the last error after a failed release
    };
    const Step steps[] = {
        {second, "wait", WAIT_TIMEOUT, 0},
        {other, "wait", WAIT_OBJECT_0, 0},  // another name is another mutex
        {second, "release", FALSE, ERROR_NOT_OWNER},
        {first, "release", TRUE, 0},
        {first, "release", FALSE, ERROR_NOT_OWNER},
        {second, "wait", WAIT_OBJECT_0, 0},
        {first, "wait", WAIT_TIMEOUT, 0},
        {second, "release", TRUE, 0},
        {first, "wait", WAIT_OBJECT_0, 0},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(&step - steps);
        SetLastError(0);
        if (std::string(step.action) == "wait") {
            EXPECT_EQ(WaitForSingleObject(step.handle, 0), step.result);
        } else {
            EXPECT_EQ(ReleaseMutex(step.handle), static_cast<BOOL>(step.result));
            EXPECT_EQ(GetLastError(), step.error);
        }
    }
    for (HANDLE handle : {first, second, other})
        EXPECT_TRUE(CloseHandle(handle));
}

// A process that ends gives up what it held, however it ends.
TEST_F(NamedMutex, AnEndedHolderGivesItUp) {
    const pid_t child = fork();
    if (child == 0) {
        CreateMutexA(nullptr, TRUE, "held");
        std::_Exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "held");
    EXPECT_EQ(WaitForSingleObject(mutex, 1000), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(mutex));
}

TEST_F(NamedMutex, RefusalsSayWhy) {
    SetLastError(0);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    // A folder that others may write in is no place for locks.
    ASSERT_EQ(chmod(runtime.AddDirectory("morvex").c_str(), 0777), 0);
    EXPECT_EQ(CreateMutexA(nullptr, FALSE, "open"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(WaitForSingleObject(INVALID_HANDLE_VALUE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
