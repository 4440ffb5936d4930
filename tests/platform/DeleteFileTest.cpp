// DeleteFileA on files and named streams: which names it deletes, which it
// refuses with which error, and what stays behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <string>
#include <utility>

#include "platform/posix/core/FaultInjection.h"
#include "tests/platform/MappedDriveSupport.h"

namespace {

class DeleteFileTest : public MappedDriveTest {
protected:
    // <relative>, a file with `mode`, or with ":stream" one of its streams.
    void Add(const std::string& relative, mode_t mode = 0644) {
        const std::string::size_type colon = relative.find(':');
        if (colon == std::string::npos) {
            temp.AddFile(relative, "data");
            ASSERT_EQ(chmod(temp.PathOf(relative).c_str(), mode), 0);
            return;
        }
        const std::string stream = "user." + relative.substr(colon + 1);
        ASSERT_EQ(setxattr(temp.PathOf(relative.substr(0, colon)).c_str(), stream.c_str(), "v", 1,
                           0),
                  0);
    }

    bool Present(const std::string& relative) const {
        const std::string::size_type colon = relative.find(':');
        if (colon == std::string::npos)
            return temp.Exists(relative);
        const std::string stream = "user." + relative.substr(colon + 1);
        return getxattr(temp.PathOf(relative.substr(0, colon)).c_str(), stream.c_str(), nullptr,
                        0) >= 0;
    }

    // "ok", or "error N".
    static std::string Deleting(const std::string& name) {
        if (DeleteFileA(name.c_str()))
            return "ok";
        return "error " + std::to_string(GetLastError());
    }
};

TEST_F(DeleteFileTest, NamesAreDeletedOrRefusedAsWindowsDoes) {
    temp.AddDirectory("dir");
    for (const char* entry : {"f", "f:notes", "f:typed", "plain", "whole", "dir:ds"})
        Add(entry);
    Add("ro", 0444);
    Add("ro:s");
    Add("group-writes", 0464);  // the layer reads the owner's write bit only
    Add("owner-writes", 0200);
    // A link is deleted itself, by its own attributes: never read-only.
    for (const auto& [link, to] : {std::pair{"to-ro", "ro"}, {"to-ro2", "ro"}, {"to-dir", "dir"},
                                   {"to-none", "none"}})
        ASSERT_EQ(symlink(temp.PathOf(to).c_str(), temp.PathOf(link).c_str()), 0);
    struct Case {
        const char* name;
        const char* result;
        const char* gone;   // what the call removed, or ""
        const char* stays;  // what it must leave, or ""
    };
    const Case cases[] = {
        {"D:\\f:notes", "ok", "f:notes", "f"},
        {"D:\\f:typed:$DATA", "ok", "f:typed", "f"},
        {"D:\\f:notes", "error 2", "", "f"},
        // Linux holds "a:$BOGUS" as a stream name; f has none so named.
        {"D:\\f:a:$BOGUS", "error 2", "", "f"},
        {"D:\\nofile:a:$BOGUS", "error 123", "", "f"},
        {"D:\\plain", "ok", "plain", ""},
        {"D:\\plain", "error 2", "", ""},
        {"D:\\whole::$DATA", "ok", "whole", ""},
        {"D:\\nodir\\f", "error 3", "", ""},
        {"D:\\nodir\\f:notes", "error 3", "", ""},
        {"D:\\f\\x", "error 3", "", "f"},
        {"D:\\dir", "error 5", "", "dir"},
        {"D:\\dir:ds", "ok", "dir:ds", "dir"},
        {"D:\\ro", "error 5", "", "ro"},
        {"D:\\ro:s", "error 5", "", "ro:s"},
        {"D:\\group-writes", "error 5", "", "group-writes"},
        {"D:\\owner-writes", "ok", "owner-writes", ""},
        {"D:\\to-ro", "ok", "", "ro"},
        {"D:\\to-ro2:s", "error 5", "", "ro:s"},  // the stream of ro
        {"D:\\to-dir", "error 5", "", "dir"},
        {"D:\\to-none", "ok", "", ""},
        {"Q:\\f", "error 3", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Deleting(c.name), c.result) << c.name;
        EXPECT_TRUE(!*c.gone || !Present(c.gone)) << c.name;
        EXPECT_TRUE(!*c.stays || Present(c.stays)) << c.name;
    }
    struct stat entry;
    EXPECT_NE(lstat(temp.PathOf("to-ro").c_str(), &entry), 0);
    EXPECT_NE(lstat(temp.PathOf("to-none").c_str(), &entry), 0);
    EXPECT_FALSE(DeleteFileA(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(DeleteFileTest, AHandleThatDoesNotShareDeletingKeepsItsFile) {
    struct Case {
        DWORD access;
        DWORD share;
        const char* result;
    };
    const Case cases[] = {
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, "error 32"},
        {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, "ok"},
        {0, 0, "ok"},  // a handle that neither reads nor writes takes no part
    };
    for (const Case& c : cases) {
        Add("open");
        Add("open:notes");
        {
            Handle held(OpenName("D:\\open", c.access, c.share, OPEN_EXISTING));
            // A named stream is shared apart from the file's own data.
            EXPECT_EQ(Deleting("D:\\open:notes"), "ok");
            EXPECT_EQ(Deleting("D:\\open"), c.result) << c.share;
        }
        EXPECT_EQ(Deleting("D:\\open"), Present("open") ? "ok" : "error 2");
    }
}

TEST_F(DeleteFileTest, AnExistingLinuxPathReachesThatFile) {
    for (const char* file : {"a", "a:b", "x", "x."})
        temp.AddFile(file, "data");
    Add("a:b");  // the stream b of a, beside the file a:b
    // The Windows name means the stream, the Linux path the file.
    EXPECT_EQ(Deleting("D:\\a:b"), "ok");
    EXPECT_FALSE(Present("a:b"));
    EXPECT_TRUE(temp.Exists("a:b"));
    Add("a:b");
    EXPECT_EQ(Deleting(temp.PathOf("a:b")), "ok");
    EXPECT_FALSE(temp.Exists("a:b"));
    EXPECT_TRUE(Present("a:b"));
    // Windows drops a trailing dot; the Linux path names the file with it.
    EXPECT_EQ(Deleting(temp.PathOf("x.")), "ok");
    EXPECT_FALSE(temp.Exists("x."));
    EXPECT_TRUE(temp.Exists("x"));
    // Where no such Linux file exists, the Windows reading holds.
    EXPECT_EQ(Deleting(temp.PathOf("x.")), "ok");
    EXPECT_FALSE(temp.Exists("x"));
}

TEST_F(DeleteFileTest, AnInjectedFaultDeletesNothing) {
    Add("f");
    Add("f:notes");
    mvx::InjectFault("DeleteFileA", 2, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(Deleting("D:\\missing"), "error 2");
    EXPECT_EQ(Deleting("D:\\f:notes"), "error 32");
    EXPECT_TRUE(Present("f:notes"));
    EXPECT_EQ(mvx::CallCount("DeleteFileA"), 2u);
}

}  // namespace
