// morvex scan on real trees, in-process through the loaded module: what it
// reports and how, what it says of what it cannot read, its exit status, and
// that files without streams never reach the plug-in.
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <clocale>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/commandline/CommandLine.h"
#include "host/dialogs/ScriptedUi.h"
#include "host/listing/ScanCommand.h"
#include "host/module/PluginSession.h"
#include "platform/posix/core/FaultInjection.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/ntfs/NtfsVolumeSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;

struct Attribute {
    std::string name;  // with its namespace: user.NAME is stream NAME
    std::string value;
};
const std::vector<Attribute> kStream = {{"user.s", "1"}}, kNoAttributes;

// An entry of a test tree: 'f' file, 'd' directory, 'l' symbolic link to
// `target`, 'p' named pipe; `mode`, unless -1, is set once the tree stands.
struct Node {
    char kind;
    std::string path;
    std::vector<Attribute> attributes = {};
    std::string target = "";
    int mode = -1;
};

// Stream s among attributes of another namespace: a list of `bytes` bytes.
std::vector<Attribute> ListOfLength(size_t bytes) {
    std::vector<Attribute> attributes = kStream;
    for (size_t left = bytes - sizeof("user.s"); left > 0;) {
        const size_t length = left < 200 ? left : 100;  // "trusted.", a tag, padding, NUL
        const std::string tag(1, static_cast<char>('a' + attributes.size()));
        attributes.push_back({"trusted." + tag + std::string(length - 10, 'n'), ""});
        left -= length;
    }
    return attributes;
}

// A test tree in a fresh directory, the current one while the object lives,
// so that the scan shows paths as a user running the program there sees them.
class TreeHere {
public:
    explicit TreeHere(const std::vector<Node>& nodes) {
        if (getcwd(home, sizeof home) == nullptr || chdir(temp.Path().c_str()) != 0)
            throw std::runtime_error("cannot enter " + temp.Path());
        for (const Node& node : nodes) Add(node);
        // Inner entries first, before their folder is closed to them.
        for (auto node = nodes.rbegin(); node != nodes.rend(); ++node)
            Check(node->mode < 0 || chmod(node->path.c_str(), node->mode) == 0, node->path);
    }
    ~TreeHere() { EXPECT_EQ(chdir(home), 0); }

private:
    static void Check(bool done, const std::string& path) {
        if (!done)
            throw std::runtime_error("cannot make " + path);
    }
    void Add(const Node& node) const {
        const char* path = node.path.c_str();
        if (node.kind == 'd')
            temp.AddDirectory(node.path);
        else if (node.kind == 'f')
            temp.AddFile(node.path, "data");
        else
            Check((node.kind == 'l' ? symlink(node.target.c_str(), path) : mkfifo(path, 0644)) == 0,
                  path);
        for (const Attribute& a : node.attributes)
            Check(setxattr(path, a.name.c_str(), a.value.data(), a.value.size(), 0) == 0, path);
    }

    TempDirectory temp;
    char home[4096] = {};
};

// Root reads every folder; without these two capabilities the permission bits
// bind it as anyone, so that a folder of mode 000 is unreadable for real.
// Only the effective set of this thread changes, for a while.
class WithoutPermissionOverride {
public:
    WithoutPermissionOverride() {
        if (syscall(SYS_capget, &header, saved) != 0)
            throw std::runtime_error("capget");
        __user_cap_data_struct reduced[2] = {saved[0], saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        if (syscall(SYS_capset, &header, reduced) != 0)
            throw std::runtime_error("capset");
    }
    ~WithoutPermissionOverride() { syscall(SYS_capset, &header, saved); }

private:
    __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved[2] = {};
};

struct Scanned {
    int status;
    std::string out, err;
};

class ScanCommandTest : public ::testing::Test {
protected:
    // Text output shows what the terminal's charset carries.
    ScanCommandTest() { std::setlocale(LC_CTYPE, "C.UTF-8"); }
    ~ScanCommandTest() override { mvx::ClearFaults(); }

    Scanned Scan(const Texts& roots, bool json = false, std::ios::iostate outState = {}) {
        CommandLine line;
        line.command = Command::Scan;
        line.directories = roots;
        line.json = json;
        std::ostringstream out, err;
        out.setstate(outState);
        const int status = RunScan(session.Entries(), line, out, err);
        return {status, out.str(), err.str()};
    }

    // How often the plug-in opened a file to scan "t" in `tree`.
    unsigned FilesOpened(const std::vector<Node>& tree, std::ios::iostate outState = {}) {
        TreeHere here(tree);
        mvx::ClearFaults();
        Scan({"t"}, false, outState);
        return mvx::CallCount("CreateFileA");
    }

    ScriptedUi ui;
    PluginSession session{PluginSession::DefaultModulePath(), ui};
};

std::vector<Node> WithStream(const Texts& files) {
    std::vector<Node> tree = {{'d', "t"}};
    for (const std::string& file : files) tree.push_back({'f', file, kStream});
    return tree;
}

TEST_F(ScanCommandTest, EveryFileAndDirectoryWithStreamsIsReportedInNameOrder) {
    struct Case {
        const char* what;
        std::vector<Node> tree;
        Texts roots;
        std::string text;
        std::string json;  // when it is to be checked to the letter
    };
    const Case cases[] = {
        {"none to two streams, other namespaces, folders with streams, the root's too",
         {{'d', "t", {{"user.r", ""}}},
          {'f', "t/b", {{"user.s", "12345"}}},
          {'f', "t/a", {{"trusted.user.s", "x"}}},
          {'d', "t/sub", {{"user.x", "1"}}},
          {'f', "t/sub/c", {{"user.x", "1"}, {"user.y", "22"}}},
          {'d', "t/sub/empty"}},
         {"t"},
         "0\tt:r\n5\tt/b:s\n1\tt/sub:x\n1\tt/sub/c:x\n2\tt/sub/c:y\n",
         "{\"path\": \"t\", \"streams\": [{\"name\": \"r\", \"size\": 0}]}\n"
         "{\"path\": \"t/b\", \"streams\": [{\"name\": \"s\", \"size\": 5}]}\n"
         "{\"path\": \"t/sub\", \"streams\": [{\"name\": \"x\", \"size\": 1}]}\n"
         "{\"path\": \"t/sub/c\", \"streams\": [{\"name\": \"x\", \"size\": 1}, "
         "{\"name\": \"y\", \"size\": 2}]}\n"},
        {"names alike in their first eight bytes and after, one the start of another, and "
         "bytes past ASCII",
         WithStream({"t/abcdefgh2", "t/\xC3\xA9", "t/abcdefgh10", "t/z", "t/abcdefgh"}),
         {"t"},
         "1\tt/abcdefgh:s\n1\tt/abcdefgh10:s\n1\tt/abcdefgh2:s\n1\tt/z:s\n1\tt/\xC3\xA9:s\n",
         ""},
        {"attribute lists as long as the first look takes, and one byte longer",
         {{'d', "t"}, {'f', "t/fits", ListOfLength(1024)}, {'f', "t/longer", ListOfLength(1025)}},
         {"t"}, "1\tt/fits:s\n1\tt/longer:s\n", ""},
        {"names with blanks, quotes, control characters and beyond ASCII",
         {{'d', "t"},
          {'f', "t/a \"b\"", {{"user.s t", "1"}}},
          {'f', "t/c\x01\t\n\xE2\x80\xA8", {{"user.new\nline", "22"}}},
          {'f', "t/caf\xC3\xA9\x7F", {{"user.{x[y]\"", "333"}}}},
         {"t"},
         "1\tt/a \"b\":s t\n2\tt/c\\x01\\t\\n\xE2\x80\xA8:new[10]line\n"
         "3\tt/caf\xC3\xA9\\x7f:[123]x[91]y]\"\n",
         "{\"path\": \"t/a \\\"b\\\"\", \"streams\": [{\"name\": \"s t\", \"size\": 1}]}\n"
         "{\"path\": \"t/c\\u0001\\t\\n\xE2\x80\xA8\", "
         "\"streams\": [{\"name\": \"new[10]line\", \"size\": 2}]}\n"
         "{\"path\": \"t/caf\xC3\xA9\\u007f\", "
         "\"streams\": [{\"name\": \"[123]x[91]y]\\\"\", \"size\": 3}]}\n"},
        {"links to files, out of the tree and in loops, and pipes are passed over",
         {{'d', "out", kStream},
          {'d', "t"},
          {'f', "t/real", kStream},
          {'l', "t/link", {}, "real"},
          {'l', "t/out", {}, "../out"},
          {'l', "t/up", {}, ".."},
          {'l', "t/loop1", {}, "loop2"},
          {'l', "t/loop2", {}, "loop1"},
          {'p', "t/pipe"}},
         {"t"}, "1\tt/real:s\n", ""},
        {"roots as given: files, a trailing slash, a dot, a link followed, one not UTF-8",
         {{'d', "t"}, {'f', "t/a", kStream}, {'f', "plain"}, {'l', "\xFF", {}, "t"}},
         {"t/a", "plain", "t/", "./t", "\xFF"},
         "1\tt/a:s\n1\tt/a:s\n1\t./t/a:s\n1\t\\xff/a:s\n",
         "{\"path\": \"t/a\", \"streams\": [{\"name\": \"s\", \"size\": 1}]}\n"
         "{\"path\": \"t/a\", \"streams\": [{\"name\": \"s\", \"size\": 1}]}\n"
         "{\"path\": \"./t/a\", \"streams\": [{\"name\": \"s\", \"size\": 1}]}\n"
         "{\"path\": \"\xEF\xBF\xBD/a\", \"streams\": [{\"name\": \"s\", \"size\": 1}]}\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TreeHere here(c.tree);
        const Scanned text = Scan(c.roots), json = Scan(c.roots, true);
        EXPECT_EQ(text.out, c.text);
        EXPECT_EQ(text.err + json.err, "");
        EXPECT_EQ(text.status + json.status, 0);
        EXPECT_TRUE(c.json.empty() || json.out == c.json) << json.out;
        // An independent, strict reader: one object a line, in UTF-8.
        const ProgramRun check = RunProgram(
            "/usr/bin/env",
            {"python3", "-c",
             "import json, sys\n"
             "for line in sys.stdin.buffer.read().decode('utf-8').split('\\n')[:-1]:\n"
             "    assert sorted(json.loads(line)) == ['path', 'streams'], line\n"},
            {{}, json.out, ""});
        EXPECT_EQ(check.status, 0) << check.err;
    }
}

TEST_F(ScanCommandTest, WhatCannotBeReadIsSaidAndTheWalkGoesOn) {
    // The plug-in takes full names up to the Windows limit, and Linux's /p is
    // Z:\p to it.
    const size_t room = MAX_PATH - 1 - 2 - TempDirectory().Path().size() - sizeof("/t/") + 1;
    const std::string fits = "t/" + std::string(room, 'n'), longer = fits + "n";
    struct Case {
        const char* what;
        std::vector<Node> tree;
        Texts roots;
        bool bound;           // without root's permission override
        const char* faultIn;  // the layer function that fails once, or null
        int status;
        std::string out, err;
    };
    const Case cases[] = {
        {"a missing root, a folder and a file that cannot be read, a file without streams",
         {{'d', "t"},
          {'f', "t/a", kStream, "", 0},
          {'f', "t/b", {}, "", 0},
          {'d', "t/locked", {}, "", 0},
          {'f', "t/locked/f", kStream},
          {'f', "t/z", kStream}},
         {"missing", "t"}, true, nullptr, 1, "1\tt/z:s\n",
         "morvex: missing: No such file or directory\nmorvex: t/a: Access is denied.\n"
         "morvex: t/locked: Permission denied\n"},
        {"a stream name that is not UTF-8",
         {{'d', "t"}, {'f', "t/a", {{"user.\xFF", "1"}}}, {'f', "t/b", kStream}}, {"t"}, false,
         nullptr, 1, "1\tt/b:s\n",
         "morvex: t/a: An extended attribute of the file has a name that is not valid UTF-8, so "
         "it cannot be shown as a stream; the streams after it are not listed. To list them, "
         "copy its value under a UTF-8 name and remove the old name with setfattr -x.\n"},
        {"the layer failing to open a file", WithStream({"t/a", "t/b"}), {"t"}, false,
         "CreateFileA", 1, "1\tt/b:s\n",
         "morvex: t/a: The process cannot access the file because it is being used by another "
         "process.\n"},
        {"names the plug-in would take for others: a trailing blank, a backslash",
         {{'d', "t"},
          {'d', "t/a"},
          {'f', "t/a/b"},
          {'f', "t/a\\b", kStream},
          {'f', "t/x ", kStream},
          {'f', "t/x"},
          {'f', "t/y\n", kStream}},
         {"t"}, false, nullptr, 1, "",
         "morvex: t/a\\b: the plug-in cannot open a name that holds a backslash\n"
         "morvex: t/x : the plug-in cannot open a name that ends in a blank\n"
         "morvex: t/y\\n: the plug-in cannot open a name that ends in a blank\n"},
        {"a full name as long as the plug-in takes", WithStream({fits}), {"t"}, false, nullptr,
         0, "1\t" + fits + ":s\n", ""},
        {"one character longer", WithStream({longer}), {"t"}, false, nullptr, 1, "",
         "morvex: " + longer + ": The filename or extension is too long.\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TreeHere here(c.tree);
        if (c.faultIn != nullptr)
            mvx::InjectFault(c.faultIn, 1, ERROR_SHARING_VIOLATION);
        std::unique_ptr<WithoutPermissionOverride> bound;
        if (c.bound)
            bound.reset(new WithoutPermissionOverride);
        const Scanned scanned = Scan(c.roots);
        bound.reset();
        EXPECT_EQ(scanned.out, c.out);
        EXPECT_EQ(scanned.err, c.err);
        EXPECT_EQ(scanned.status, c.status);
    }
}

TEST_F(ScanCommandTest, FilesWithoutStreamsNeverReachThePlugin) {
    const unsigned perFile = FilesOpened(WithStream({"t/s0"}));
    ASSERT_GT(perFile, 0u);
    for (unsigned plain : {0u, 1u, 200u}) {
        for (unsigned withStreams : {0u, 2u}) {
            std::vector<Node> tree = {{'d', "t"}};
            for (unsigned i = 0; i < plain + withStreams; ++i) {
                const std::string name = "t/" + std::to_string(i);
                tree.push_back({'f', name, i < plain ? kNoAttributes : kStream});
            }
            EXPECT_EQ(FilesOpened(tree), perFile * withStreams) << plain << " plain files";
        }
    }
    // Nobody reads the findings: the walk ends at the first.
    EXPECT_EQ(FilesOpened(WithStream({"t/a", "t/b", "t/c"}), std::ios::badbit), perFile);
    TreeHere here(WithStream({"t/a"}));
    EXPECT_EQ(Scan({"t"}, false, std::ios::badbit).status, 1);
}

TEST_F(ScanCommandTest, StreamsOnNtfsAreFoundThroughEitherInterface) {
    for (NtfsStreams streams : {NtfsStreams::Attributes, NtfsStreams::Paths}) {
        NtfsVolume volume(streams);
        if (!volume.Unavailable().empty())
            GTEST_SKIP() << volume.Unavailable();
        const std::string root = volume.PathOf("t");
        ASSERT_EQ(mkdir(root.c_str(), 0755), 0);
        volume.AddFile("t/a", "data");
        volume.AddFile("t/b", "data");
        if (streams == NtfsStreams::Paths)
            volume.AddFile("t/b:s", "12345");
        else
            ASSERT_EQ(setxattr((root + "/b").c_str(), "user.s", "12345", 5, 0), 0);
        // The volume after a folder elsewhere: whether a file is on a FUSE
        // volume is told again when the folder changes.
        TreeHere here(WithStream({"t/s0"}));
        const Scanned scanned = Scan({"t", root});
        EXPECT_EQ(scanned.out, "1\tt/s0:s\n5\t" + root + "/b:s\n");
        EXPECT_EQ(scanned.err + std::to_string(scanned.status), "0");
    }
}

}  // namespace
