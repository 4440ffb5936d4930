// CreateFileA, ReadFile, WriteFile, GetFileSize and CloseHandle on real files
// of a mapped drive.
#include "MappedDriveSupport.h"
#include "NamedStreamSupport.h"

#include "platform/posix/core/FaultInjection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>

namespace {

using Files = MappedDriveTest;

const DWORD kStale = 0xDEAD;

std::string ReadAll(HANDLE file) {
    std::string contents;
    char chunk[7];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0)
        contents.append(chunk, read);
    return contents;
}

bool WriteText(HANDLE file, const std::string& text) {
    DWORD written = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

TEST_F(Files, WritesAndReadsBackAFileOnTheMappedDrive) {
    temp.AddDirectory("dir");
    {
        Handle out(OpenName("D:\\dir\\report.txt", GENERIC_WRITE, FILE_SHARE_READ, CREATE_NEW));
        ASSERT_TRUE(out.IsValid()) << GetLastError();
        EXPECT_TRUE(WriteText(out.Get(), "first line\r\nsecond line\r\n"));
    }
    EXPECT_EQ(temp.Contents("dir/report.txt"), "first line\r\nsecond line\r\n");

    Handle in(OpenName("D:\\dir\\report.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    ASSERT_TRUE(in.IsValid());
    EXPECT_EQ(ReadAll(in.Get()), "first line\r\nsecond line\r\n");
    // At the end of the file a read succeeds with nothing.
    char byte;
    DWORD read = 99;
    EXPECT_TRUE(ReadFile(in.Get(), &byte, 1, &read, nullptr));
    EXPECT_EQ(read, 0u);
}

struct DispositionCase {
    DWORD disposition;
    bool existing;
    bool opens;
    DWORD error;           // the last error afterwards
    const char* contents;  // of the file afterwards
};

TEST_F(Files, DispositionsBehaveAsOnWindows) {
    const DispositionCase cases[] = {
        {CREATE_NEW, false, true, NO_ERROR, ""},
        {CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old"},
        {CREATE_ALWAYS, false, true, NO_ERROR, ""},
        {CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
        {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, "<missing>"},
        {OPEN_EXISTING, true, true, NO_ERROR, "old"},
        {OPEN_ALWAYS, false, true, NO_ERROR, ""},
        {OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "old"},
        {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, "<missing>"},
        {TRUNCATE_EXISTING, true, true, NO_ERROR, ""},
    };
    int index = 0;
    for (const DispositionCase& c : cases) {
        const std::string file = "case" + std::to_string(index++);
        if (c.existing) temp.AddFile(file, "old");
        const std::string name = "D:\\" + file;
        SetLastError(kStale);
        Handle handle(OpenName(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, c.disposition));
        const DWORD error = GetLastError();
        EXPECT_EQ(handle.IsValid(), c.opens) << "disposition " << c.disposition << " on " << file;
        EXPECT_EQ(error, c.error) << "disposition " << c.disposition << " on " << file;
        EXPECT_EQ(temp.Contents(file), c.contents) << "disposition " << c.disposition;
    }
}

TEST_F(Files, BadRequestsChangeNothing) {
    temp.AddFile("keep.txt", "kept");
    for (DWORD disposition : {0u, 6u}) {
        EXPECT_EQ(OpenName("D:\\new.txt", GENERIC_WRITE, 0, disposition), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    // Truncating needs write access.
    EXPECT_EQ(OpenName("D:\\keep.txt", GENERIC_READ, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(temp.Contents("keep.txt"), "kept");
    EXPECT_FALSE(temp.Exists("new.txt"));
    // A file cannot be named with a trailing separator.
    EXPECT_EQ(OpenName("D:\\new\\", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
}

TEST_F(Files, MissingDirectoryIsAPathNotFound) {
    for (DWORD disposition : {CREATE_NEW, CREATE_ALWAYS, OPEN_EXISTING, OPEN_ALWAYS}) {
        EXPECT_EQ(OpenName("D:\\nodir\\x.txt", GENERIC_WRITE, 0, disposition),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND)) << disposition;
    }
    temp.AddFile("plain", "a file, not a directory");
    EXPECT_EQ(OpenName("D:\\plain\\x.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST_F(Files, ShareModesOfOpenHandlesAreEnforced) {
    temp.AddFile("shared.txt", "contents");
    const char* name = "D:\\shared.txt";
    Handle writer(OpenName(name, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING));
    ASSERT_TRUE(writer.IsValid());

    // A reader must let the writer go on writing.
    EXPECT_EQ(OpenName(name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    Handle reader(OpenName(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    EXPECT_TRUE(reader.IsValid());

    // The writer shares reading only: a second writer is refused, and a
    // refused CREATE_ALWAYS leaves the contents alone.
    EXPECT_EQ(OpenName(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(temp.Contents("shared.txt"), "contents");

    // An open that neither reads nor writes takes no part.
    Handle query(OpenName(name, 0, 0, OPEN_EXISTING));
    EXPECT_TRUE(query.IsValid());
}

TEST_F(Files, NewOpenMustShareWhatOpenHandlesDo) {
    temp.AddFile("read.txt", "contents");
    const char* name = "D:\\read.txt";
    Handle reader(OpenName(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    ASSERT_TRUE(reader.IsValid());
    // The reader allows writing, but a writer that forbids reading cannot join it.
    EXPECT_EQ(OpenName(name, GENERIC_WRITE, FILE_SHARE_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    Handle writer(OpenName(name, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    EXPECT_TRUE(writer.IsValid());
}

TEST_F(Files, SharingFollowsTheFileNotTheName) {
    temp.AddFile("one.txt", "x");
    ASSERT_EQ(link(temp.PathOf("one.txt").c_str(), temp.PathOf("two.txt").c_str()), 0);
    {
        Handle first(OpenName("D:\\one.txt", GENERIC_READ, 0, OPEN_EXISTING));
        ASSERT_TRUE(first.IsValid());
        EXPECT_EQ(OpenName("D:\\two.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    // Closing the handle ends its claim.
    Handle again(OpenName("D:\\two.txt", GENERIC_READ, 0, OPEN_EXISTING));
    EXPECT_TRUE(again.IsValid());
}

TEST_F(Files, DirectoriesNeedBackupSemantics) {
    temp.AddDirectory("dir");
    EXPECT_EQ(OpenName("D:\\dir", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(OpenName("D:\\dir", GENERIC_READ, 0, CREATE_NEW, FILE_FLAG_BACKUP_SEMANTICS),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(OpenName("D:\\dir", GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_FLAG_BACKUP_SEMANTICS),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    SetLastError(kStale);
    Handle dir(OpenName("D:\\dir\\", GENERIC_READ, FILE_SHARE_READ, OPEN_ALWAYS,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(dir.IsValid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    DWORD high = kStale;
    EXPECT_EQ(GetFileSize(dir.Get(), &high), 0u);
    EXPECT_EQ(high, 0u);
    char byte;
    DWORD read = 0;
    EXPECT_FALSE(ReadFile(dir.Get(), &byte, 1, &read, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FUNCTION));
}

TEST_F(Files, HandlesOnlyDoWhatTheirAccessAllows) {
    temp.AddFile("f.txt", "abc");
    Handle reader(
        OpenName("D:\\f.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    Handle writer(
        OpenName("D:\\f.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    ASSERT_TRUE(reader.IsValid() && writer.IsValid());
    char buffer[4];
    DWORD count = kStale;
    EXPECT_FALSE(ReadFile(writer.Get(), buffer, sizeof(buffer), &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(WriteFile(reader.Get(), "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(temp.Contents("f.txt"), "abc");
}

TEST_F(Files, ReadOnlyAttributeMakesAReadOnlyFile) {
    Handle file(OpenName("D:\\ro.txt", GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(file.IsValid());
    EXPECT_TRUE(WriteText(file.Get(), "still writable through this handle"));
    struct stat status;
    ASSERT_EQ(stat(temp.PathOf("ro.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0222, 0u);
}

TEST_F(Files, SizeWithLowPartAllOnesIsNoFailure) {
    const std::string path = temp.AddFile("sparse.bin");
    ASSERT_EQ(truncate64(path.c_str(), 0x1FFFFFFFFLL), 0);
    Handle file(OpenName("D:\\sparse.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    ASSERT_TRUE(file.IsValid()) << GetLastError();
    SetLastError(kStale);
    DWORD high = 0;
    EXPECT_EQ(GetFileSize(file.Get(), &high), 0xFFFFFFFFu);
    EXPECT_EQ(high, 1u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
}

TEST_F(Files, UnknownHandlesAreRefused) {
    temp.AddFile("f.txt", "abc");
    HANDLE file = OpenName("D:\\f.txt", GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_NE(file, nullptr);
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    char buffer[4];
    DWORD count = 0;
    // A token is no file.
    EXPECT_FALSE(ReadFile(token, buffer, sizeof(buffer), &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(CloseHandle(token));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_TRUE(CloseHandle(GetCurrentProcess()));
}

TEST_F(Files, InjectedFaultsFailEachCall) {
    temp.AddFile("f.txt", "abc");
    mvx::InjectFault("CreateFileA", 1, ERROR_TOO_MANY_OPEN_FILES);
    EXPECT_EQ(OpenName("D:\\f.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_OPEN_FILES));

    HANDLE file = OpenName("D:\\f.txt", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char buffer[4];
    DWORD count = kStale;
    mvx::InjectFault("ReadFile", 1, ERROR_INVALID_DATA);
    EXPECT_FALSE(ReadFile(file, buffer, sizeof(buffer), &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    mvx::InjectFault("WriteFile", 1, ERROR_DISK_FULL);
    EXPECT_FALSE(WriteFile(file, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(temp.Contents("f.txt"), "abc");
    mvx::InjectFault("GetFileSize", 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetFileSize(file, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // A failed close leaves the handle open for a later close.
    mvx::InjectFault("CloseHandle", 1, ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetFileSize(file, nullptr), 3u);
    EXPECT_TRUE(CloseHandle(file));
}

}  // namespace

namespace {

// The volume serial number and the file index name one file, whatever name
// reaches it; the link count counts its hard links.
TEST_F(Files, FileInformationTellsOneFileFromAnother) {
    temp.AddDirectory("dir");
    temp.AddFile("dir/a", "a");
    temp.AddFile("b", "b");
    link(temp.PathOf("dir/a").c_str(), temp.PathOf("hard").c_str());
    symlink(temp.PathOf("dir/a").c_str(), temp.PathOf("soft").c_str());
    symlink(temp.PathOf("dir").c_str(), temp.PathOf("folder").c_str());
    const auto identity = [](const char* name, DWORD& links) {
        Handle file(OpenName(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
        BY_HANDLE_FILE_INFORMATION information{};
        EXPECT_TRUE(GetFileInformationByHandle(file.Get(), &information)) << name;
        links = information.nNumberOfLinks;
        return std::to_string(information.dwVolumeSerialNumber) + ":" +
               std::to_string(information.nFileIndexHigh) + ":" +
               std::to_string(information.nFileIndexLow);
    };
    struct Case { const char* name; bool sameAsA; DWORD links; };
    const Case cases[] = {
        {"D:\\dir\\a", true, 2}, {"D:\\hard", true, 2},  {"D:\\soft", true, 2},
        {"D:\\folder\\a", true, 2}, {"D:\\DIR\\..\\dir\\a", true, 2}, {"D:\\b", false, 1},
    };
    DWORD links = 0;
    const std::string a = identity("D:\\dir\\a", links);
    for (const Case& c : cases) {
        EXPECT_EQ(identity(c.name, links) == a, c.sameAsA) << c.name;
        EXPECT_EQ(links, c.links) << c.name;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    SetLastError(kStale);
    EXPECT_FALSE(GetFileInformationByHandle(INVALID_HANDLE_VALUE, &information));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace

namespace {

// MoveFileExA and ReplaceFileA put a whole file in place by one rename. A
// replaced file keeps its mode and streams; a link at the name is replaced,
// and the file it names is never touched.
TEST_F(Files, MovesAndReplacementsPutAWholeFileInPlace) {
    struct Case {
        const char* call;     // "replace", "move" or "move over"
        const char* at;       // what stands at the name: "file", "link", "folder", "nothing"
        const char* result;   // "ok" or "error N"
        const char* after;    // the name's bytes afterwards
        unsigned mode;        // of the name afterwards, when it is a file
    };
    const Case cases[] = {
        {"replace", "file", "ok", "new", 0640},
        {"replace", "link", "ok", "new", 0600},
        {"replace", "nothing", "error 2", "<missing>", 0},
        {"replace", "folder", "error 5", "<missing>", 0},
        {"move", "nothing", "ok", "new", 0600},
        {"move", "file", "error 183", "old", 0640},
        {"move over", "file", "ok", "new", 0600},
        {"move over", "link", "ok", "new", 0600},
        {"move", "folder", "error 5", "<missing>", 0},
    };
    temp.AddFile("victim", "victim");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.call) + " onto " + c.at);
        const std::string name = temp.PathOf("name");
        const std::string at = c.at;
        if (at == "file") {
            temp.AddFile("name", "old");
            chmod(name.c_str(), 0640);
            setxattr(name.c_str(), "user.own", "mine", 4, 0);
        } else if (at == "link") {
            symlink(temp.PathOf("victim").c_str(), name.c_str());
        } else if (at == "folder") {
            temp.AddDirectory("name");
        }
        temp.AddFile("new", "new");
        chmod(temp.PathOf("new").c_str(), 0600);
        const std::string call = c.call;
        const BOOL done = call == "replace"
                              ? ReplaceFileA("D:\\name", "D:\\new", nullptr, 0, nullptr, nullptr)
                              : MoveFileExA("D:\\new", "D:\\name",
                                            call == "move over" ? MOVEFILE_REPLACE_EXISTING : 0);
        EXPECT_EQ(Outcome(done), c.result);
        EXPECT_EQ(temp.Contents("victim"), "victim");
        struct stat status {};
        const bool isFile = lstat(name.c_str(), &status) == 0 && S_ISREG(status.st_mode);
        EXPECT_EQ(isFile ? temp.Contents("name") : "<missing>", c.after);
        if (isFile) {
            EXPECT_EQ(status.st_mode & 07777, c.mode);
        }
        // The stream stays with the file it belongs to.
        EXPECT_EQ(getxattr(name.c_str(), "user.own", nullptr, 0) == 4,
                  at == "file" && (call == "replace" || std::string(c.result) != "ok"));
        EXPECT_EQ(temp.Exists("new"), std::string(c.result) != "ok");
        std::filesystem::remove_all(name);
        std::filesystem::remove(temp.PathOf("new"));
    }
    EXPECT_FALSE(ReplaceFileA("D:\\victim", "D:\\x", "D:\\backup", 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

}  // namespace
