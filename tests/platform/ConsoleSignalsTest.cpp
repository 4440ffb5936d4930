// Console control handlers as the layer gives them: a signal that would end
// the process calls them with the matching event; a handler that takes the
// event keeps the process going, as on Windows, and otherwise the signal ends
// it as it would have.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "platform/win32.h"

namespace {

DWORD seen = 0xFFFF;
BOOL takes = FALSE;

BOOL WINAPI Record(DWORD event) {
    seen = event;
    return takes;
}

TEST(ConsoleSignals, ASignalReachesTheHandlersAsItsEvent) {
    struct Case {
        int signal;
        DWORD event;
        BOOL taken;
    };
    const Case cases[] = {
        {SIGINT, CTRL_C_EVENT, TRUE},        {SIGINT, CTRL_C_EVENT, FALSE},
        {SIGTERM, CTRL_SHUTDOWN_EVENT, TRUE}, {SIGTERM, CTRL_SHUTDOWN_EVENT, FALSE},
        {SIGHUP, CTRL_CLOSE_EVENT, TRUE},    {SIGPIPE, CTRL_CLOSE_EVENT, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signal);
        const pid_t child = fork();
        if (child == 0) {
            takes = c.taken;
            if (!SetConsoleCtrlHandler(Record, TRUE))
                std::_Exit(2);
            raise(c.signal);
            std::_Exit(seen == c.event ? 0 : 3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        if (c.taken)
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        else
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
    }
    SetLastError(0);
    EXPECT_FALSE(SetConsoleCtrlHandler(nullptr, TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(SetConsoleCtrlHandler(Record, FALSE));  // never added here
}

}  // namespace
