// What the morvex program does with files an attacker or an unlucky user hands
// it: it never waits on a pipe, and a listing that cannot be whole says why in
// words the user can act on. (The copy's own reason is the layer's to test: the
// plug-in reports every failed copy as "Copy error".)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/module/BuildLocation.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

const char kNotUtf8Reason[] = "has a name that is not valid UTF-8";
const char kListTooLargeReason[] = "more than the 64 KiB Linux hands out in one list";

// The largest name list the kernel hands out in one call, NULs included.
constexpr size_t kLargestNameList = 64 * 1024;

// Runs morvex under a time limit, so a hang fails the test instead of
// holding the suite.
ProgramRun RunMorvexWithin(const std::vector<std::string>& arguments, const std::string& registry) {
    std::vector<std::string> command = {"10", FindBuildFile("morvex")};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return RunProgram("/usr/bin/timeout", command,
                      {{"MORVEX_REGISTRY=" + registry, "LC_ALL=C.UTF-8"}, "", ""});
}

// Gives `path` user.* attributes whose names, each with its NUL, take
// exactly `total` bytes of the name list.
void AddNamesTaking(const std::string& path, size_t total) {
    constexpr size_t kEntry = sizeof("user.s00000");  // name and NUL
    for (size_t used = 0, n = 0; used < total; ++n) {
        char name[16];
        std::snprintf(name, sizeof(name), "user.s%05zu", n);
        std::string entry = name;
        const size_t left = total - used;
        if (left < 2 * kEntry) entry.append(left - kEntry, 'x');  // the last one fills the rest
        ASSERT_EQ(setxattr(path.c_str(), entry.c_str(), "v", 1, 0), 0) << entry;
        used += entry.size() + 1;
    }
}

// tmpfs holds thousands of attribute names per file, as an ext4 inode does not.
class ShmFile {
public:
    ShmFile() : path_("/dev/shm/morvex-hostile-" + std::to_string(getpid())) {
        close(creat(path_.c_str(), 0600));
    }
    ~ShmFile() { unlink(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

TEST(HostileFileTest, AListingThatCannotBeWholeSaysWhy) {
    struct Case {
        const char* what;
        size_t namesTaking;        // bytes of attribute names on a tmpfs file, or 0
        const char* badName;       // an attribute added after them, or null
        const char* reason;        // null: the listing succeeds
        const char* listed;        // a stream a listing that succeeds shows, or null
    };
    const Case cases[] = {
        {"a name list at the kernel's limit", kLargestNameList, nullptr, nullptr, "s00000"},
        {"one byte past it", kLargestNameList + 1, nullptr, kListTooLargeReason, nullptr},
        {"a name that is not UTF-8", 0, "user.b\xFF", kNotUtf8Reason, nullptr},
        {"a cut UTF-8 sequence", 0, "user.b\xC3", kNotUtf8Reason, nullptr},
        {"a name that is UTF-8", 0, "user.b\xC3\xA9", nullptr, "a-first"},
    };
    TempDirectory temp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShmFile file;
        if (c.namesTaking > 0) AddNamesTaking(file.Path(), c.namesTaking);
        if (c.badName) {
            ASSERT_EQ(setxattr(file.Path().c_str(), "user.a-first", "a", 1, 0), 0);
            ASSERT_EQ(setxattr(file.Path().c_str(), c.badName, "b", 1, 0), 0);
        }
        const ProgramRun run = RunMorvexWithin({"list", file.Path()}, temp.PathOf("r.reg"));
        EXPECT_EQ(run.status, c.reason ? 1 : 0) << run.err;
        if (c.reason) {
            EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
            EXPECT_EQ(run.err.find("rror "), std::string::npos) << run.err;
        }
        if (c.listed) {
            EXPECT_NE(run.out.find(c.listed), std::string::npos) << run.out;
        }
    }
}

TEST(HostileFileTest, APipeIsListedAtOnceAndNeverCopied) {
    TempDirectory temp;
    const std::string fifo = temp.PathOf("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string registry = temp.PathOf("r.reg");

    const ProgramRun list = RunMorvexWithin({"list", fifo}, registry);
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.err, "");

    const std::string target = temp.AddFile("target", "t");
    const ProgramRun put = RunMorvexWithin({"put", target, fifo}, registry);
    EXPECT_EQ(put.status, 1) << put.err;
    EXPECT_EQ(put.err, "morvex: " + fifo + " -> " + target +
                           ":pipe: Copy error: The file is a device, pipe or socket, which has "
                           "no data that can be read or copied.\n");
    EXPECT_EQ(getxattr(target.c_str(), "user.pipe", nullptr, 0), -1);
}

}  // namespace

namespace {

// A FILE named on the command line reaches exactly that file, or is refused
// with the reason: never a neighbour whose name the plug-in's trimming or its
// folder separators would make of it. Each file below has one stream named
// after itself; rm removes the stream of that name from the file named.
TEST(HostileFileNames, AFileNameReachesThatFileOrIsRefused) {
    TempDirectory temp;
    temp.AddDirectory("a");
    temp.AddDirectory("dd");
    temp.AddDirectory("far");
    temp.AddDirectory("far/in");
    symlink(temp.PathOf("far/in").c_str(), temp.PathOf("l").c_str());
    const char* const names[] = {"sp.txt", "sp.txt ", " sp.txt", "a/b.txt", "a\\b.txt", "dd",
                                 "far/sp.txt"};
    for (const char* name : names)
        setxattr((std::string(name) == "dd" ? temp.PathOf(name) : temp.AddFile(name)).c_str(),
                 "user.own", name, std::strlen(name), 0);
    struct Case {
        std::string file;  // as typed, relative to the folder
        std::string error;  // after "morvex: cannot open FILE: "; empty when it is reached
        std::string reached = "";  // the file reached, when not FILE less trailing '/'
    };
    const Case cases[] = {
        {"sp.txt", ""},
        {" sp.txt", ""},
        {"sp.txt ", "its name ends in a blank, which the plug-in trims off"},
        {"a/b.txt", ""},
        {"a\\b.txt", "its path holds a backslash, which the plug-in reads as a folder separator"},
        {"dd", ""},
        {"dd/", ""},
        {"dd//", ""},
        // Linux takes ".." after a link to a folder out of the folder linked to.
        {"l/../sp.txt", "", "far/sp.txt"},
    };
    const std::string registry = temp.PathOf("registry.reg");
    for (const Case& c : cases) {
        ProgramRun run = RunProgram(FindBuildFile("morvex"), {"list", c.file, "--json"},
                                    {{"MORVEX_REGISTRY=" + registry}, "", temp.Path()});
        std::string own = c.reached.empty() ? c.file : c.reached;
        while (own.size() > 2 && own.back() == '/')
            own.pop_back();
        if (c.error.empty()) {
            EXPECT_EQ(run.status, 0) << c.file << ": " << run.err;
            EXPECT_NE(run.out.find("\"own\""), std::string::npos) << c.file;
            char value[16] = {};
            getxattr(temp.PathOf(own).c_str(), "user.own", value, sizeof(value));
            EXPECT_EQ(std::string(value), own) << c.file;
        } else {
            EXPECT_EQ(run.status, 1) << c.file;
            EXPECT_EQ(run.err, "morvex: cannot open " + c.file + ": " + c.error + "\n");
        }
        // rm acts on the same file as list, or on none.
        ProgramRun rm = RunProgram(FindBuildFile("morvex"), {"rm", c.file, "own", "--yes"},
                                   {{"MORVEX_REGISTRY=" + registry}, "", temp.Path()});
        EXPECT_EQ(rm.status, c.error.empty() ? 0 : 1) << c.file;
        for (const char* name : names) {
            const bool removed = c.error.empty() && own == name;
            EXPECT_EQ(getxattr(temp.PathOf(name).c_str(), "user.own", nullptr, 0) < 0, removed)
                << c.file << " touched " << name;
            if (removed)
                setxattr(temp.PathOf(name).c_str(), "user.own", name, std::strlen(name), 0);
        }
    }
}

}  // namespace
