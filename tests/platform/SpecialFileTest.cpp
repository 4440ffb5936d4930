// Pipes, sockets and devices through the layer: opening one never waits for
// another process; what Windows would see is a file without data to read,
// never one whose reading hangs; and one with a reader takes what is written.
#include "SocketFileSupport.h"
#include "TempDirectorySupport.h"

#include "platform/posix/core/LayerErrors.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
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

// What GetFileType says of each kind of file, and of a handle that is none.
TEST(SpecialFileTest, EachKindOfFileHasItsType) {
    TempDirectory temp;
    const std::string fifo = temp.PathOf("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        DWORD type;
    };
    const Case cases[] = {
        {temp.AddFile("plain", "data"), FILE_TYPE_DISK},
        {temp.Path(), FILE_TYPE_DISK},
        {fifo, FILE_TYPE_PIPE},
        {"/dev/null", FILE_TYPE_CHAR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        HANDLE file = CreateFileA(c.path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetFileType(file), c.type);
        CloseHandle(file);
    }
    EXPECT_EQ(GetFileType(INVALID_HANDLE_VALUE), static_cast<DWORD>(FILE_TYPE_UNKNOWN));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// A pipe standing at a copy's target is written into, as cp writes into one,
// once a reader holds it; a link at the target is replaced, never followed to
// a pipe; and a handle that asks for the entry itself does not follow a link.
TEST(SpecialFileTest, APipeIsWrittenIntoWhereItStands) {
    TempDirectory temp;
    const std::string source = temp.AddFile("source", "data");
    ASSERT_EQ(setxattr(source.c_str(), "user.s", "stream", 6, 0), 0);
    const std::string fifo = temp.PathOf("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    symlink(fifo.c_str(), temp.PathOf("link").c_str());
    enum Route { kCopy, kCopyFailIfExists, kOpenWrite, kOpenEntryItself };
    struct Case {
        Route route;
        const char* target;
        bool read;           // whether the pipe has a reader
        DWORD error;         // NO_ERROR: the route worked
        const char* piped;   // what the reader gets
        const char* placed;  // what stands at the target as a file afterwards
    };
    const Case cases[] = {
        {kCopy, "pipe", true, NO_ERROR, "stream", nullptr},
        {kCopy, "pipe", false, mvx::kErrorSpecialFile, "", nullptr},
        {kCopyFailIfExists, "pipe", true, ERROR_FILE_EXISTS, "", nullptr},
        {kCopy, "link", true, NO_ERROR, "", "stream"},
        {kOpenWrite, "pipe", true, NO_ERROR, "written", nullptr},
        {kOpenWrite, "pipe", false, mvx::kErrorSpecialFile, "", nullptr},
        {kOpenEntryItself, "link", true, ERROR_CANT_ACCESS_FILE, "", nullptr},
        {kOpenEntryItself, "pipe", true, NO_ERROR, "written", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        const int reader = c.read ? open(fifo.c_str(), O_RDONLY | O_NONBLOCK) : -1;
        const std::string target = temp.PathOf(c.target);
        BOOL done = FALSE;
        if (c.route == kCopy || c.route == kCopyFailIfExists) {
            done = CopyFileA((source + ":s").c_str(), target.c_str(), c.route == kCopyFailIfExists);
        } else {
            const DWORD flags = c.route == kOpenEntryItself ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
            HANDLE file =
                CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, flags, nullptr);
            DWORD written = 0;
            done = file != INVALID_HANDLE_VALUE && WriteFile(file, "written", 7, &written, nullptr);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
        EXPECT_EQ(done ? NO_ERROR : GetLastError(), c.error);
        char piped[64] = {};
        if (reader >= 0) {
            EXPECT_GE(read(reader, piped, sizeof(piped) - 1), c.piped[0] ? 1 : -1);
            close(reader);
        }
        EXPECT_EQ(std::string(piped), c.piped);
        struct stat status {};
        ASSERT_EQ(stat(fifo.c_str(), &status), 0);
        EXPECT_TRUE(S_ISFIFO(status.st_mode));
        if (c.placed != nullptr) {
            EXPECT_EQ(temp.Contents(c.target), c.placed);
            unlink(target.c_str());
            symlink(fifo.c_str(), target.c_str());
        }
    }
}

}  // namespace
