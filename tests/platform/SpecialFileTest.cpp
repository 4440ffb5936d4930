// Pipes, sockets and devices through the layer: opening one never waits for
// another process, and what Windows would see is a file without data, never
// one whose reading hangs.
#include "SocketFileSupport.h"
#include "TempDirectorySupport.h"

#include "platform/posix/core/LayerErrors.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr unsigned kWatchdogSeconds = 5;

// How CreateFileA opening `path` with `access` ends, in a child process that
// the alarm ends if the open waits: "0" when it opened, the low byte of the
// error when it failed, or "hung".
std::string OpenErrorWithin(const std::string& path, DWORD access) {
    const pid_t child = fork();
    if (child == 0) {
        alarm(kWatchdogSeconds);
        HANDLE file = CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        _exit(file == INVALID_HANDLE_VALUE ? static_cast<int>(GetLastError() & 0xFF) : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) return "hung";
    return std::to_string(WEXITSTATUS(status));
}

TEST(SpecialFileTest, OpeningNeverWaitsAndNoDataIsRead) {
    TempDirectory temp;
    const std::string fifo = temp.PathOf("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = MakeSocketFile(temp.PathOf("socket"));
    const std::string special = std::to_string(mvx::kErrorSpecialFile & 0xFF);
    struct Case {
        const char* what;
        std::string path;
        DWORD access;
        std::string openError;  // as OpenErrorWithin reports it
    };
    const Case cases[] = {
        {"a pipe without a writer, read", fifo, GENERIC_READ, "0"},
        {"a pipe without a reader, written", fifo, GENERIC_WRITE, special},
        {"a pipe, for its security only", fifo, READ_CONTROL, "0"},
        {"a socket", socketPath, GENERIC_READ, special},
        {"a device", "/dev/null", GENERIC_READ, "0"},
        {"a regular file", temp.AddFile("plain", "data"), GENERIC_READ, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(OpenErrorWithin(c.path, c.access), c.openError);
    }
}

// Each special file, once open, reads as Windows sees it: size 0, no {Data}
// stream, and ReadFile or a copy fails rather than wait.
TEST(SpecialFileTest, ASpecialFileHasNoDataToReadOrCopy) {
    TempDirectory temp;
    const std::string fifo = temp.PathOf("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(OpenErrorWithin(fifo, GENERIC_READ), "0");
    struct Case {
        const char* what;
        std::string path;
        DWORD size;
        DWORD readError;    // of ReadFile and CopyFileA; NO_ERROR: both work
        DWORD backupBytes;  // what BackupRead delivers without security: a {Data} header is 20
    };
    const Case cases[] = {
        {"a pipe", fifo, 0, mvx::kErrorSpecialFile, 0},
        {"a device", "/dev/zero", 0, mvx::kErrorSpecialFile, 0},
        {"an empty regular file", temp.AddFile("empty"), 0, NO_ERROR, 20},
        {"a regular file of one byte", temp.AddFile("one", "x"), 1, NO_ERROR, 21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HANDLE file = CreateFileA(c.path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD high = 1;
        EXPECT_EQ(GetFileSize(file, &high), c.size);
        EXPECT_EQ(high, 0u);

        char buffer[64];
        DWORD got = 99;
        const BOOL read = ReadFile(file, buffer, sizeof(buffer), &got, nullptr);
        EXPECT_EQ(read == FALSE ? GetLastError() : NO_ERROR, c.readError);

        LPVOID context = nullptr;
        DWORD delivered = 0;
        BYTE backup[64];
        EXPECT_TRUE(BackupRead(file, backup, sizeof(backup), &delivered, FALSE, FALSE, &context));
        EXPECT_EQ(delivered, c.backupBytes);
        BackupRead(file, nullptr, 0, nullptr, TRUE, FALSE, &context);
        EXPECT_TRUE(CloseHandle(file));

        const std::string copy = temp.PathOf("copy");
        const BOOL copied = CopyFileA(c.path.c_str(), copy.c_str(), FALSE);
        EXPECT_EQ(copied == FALSE ? GetLastError() : NO_ERROR, c.readError);
        EXPECT_EQ(temp.Exists("copy"), c.readError == NO_ERROR);
        unlink(copy.c_str());
    }
}

}  // namespace
