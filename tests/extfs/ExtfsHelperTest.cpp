// The Midnight Commander helper (extfs/morvex) spoken to as mc speaks to it:
// its listing parsed as mc parses an "ls -l" line, and copyout, copyin and rm
// checked against the file's streams, for names with blanks, brackets,
// non-ASCII and control characters.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "host/module/BuildLocation.h"
#include "tests/extfs/ExtfsSupport.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/host/StreamRoundTripSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;

// One line of a listing, in the fields mc reads from it.
struct ListedFile {
    std::string mode, owner, group, date, time, name;
    unsigned long long size = 0;
};

// mc's reading of "MODE LINKS OWNER GROUP SIZE DATE TIME NAME": seven fields
// apart by blanks, then the name, which may hold blanks of its own.
bool ParseLine(const std::string& line, ListedFile& file) {
    std::istringstream fields(line);
    std::string links, size;
    if (!(fields >> file.mode >> links >> file.owner >> file.group >> size >> file.date >>
          file.time) ||
        links != "1" || size.find_first_not_of("0123456789") != std::string::npos)
        return false;
    file.size = std::stoull(size);
    const std::string rest = line.substr(static_cast<size_t>(fields.tellg()));
    if (rest.size() < 2 || rest[0] != ' ')
        return false;
    file.name = rest.substr(1);
    return true;
}

// A stream of the file, its name on Linux and as the panel shows it.
struct NamedStream {
    std::string stream, item;
};

const NamedStream kStreams[] = {
    {"plain", "plain"},
    {"with blank", "with blank"},
    {" leading", " leading"},
    {"[br]ackets", "[91]br]ackets"},
    {"caf\u00e9 \u65e5\u672c", "caf\u00e9 \u65e5\u672c"},
    {"tab\tname", "tab[9]name"},
    {"\x01" "ctl\x1f", "[1]ctl[31]"},
};

class ExtfsHelperTest : public ::testing::Test {
protected:
    ExtfsHelperTest() : file(temp.AddFile("notes.txt", "main data")) {
        chmod(file.c_str(), 0640);
        for (const NamedStream& s : kStreams) {
            const std::string name = "user." + s.stream;
            const std::string contents = "contents of " + s.stream;
            setxattr(file.c_str(), name.c_str(), contents.data(), contents.size(), 0);
        }
    }

    ProgramRun Helper(const Texts& arguments) {
        return RunProgram(ExtfsHelperPath(), arguments,
                          {HelperEnvironment(temp.PathOf("registry.reg")), "", temp.Path()});
    }

    // The listing by name; fails the test when a line is not one mc reads.
    std::map<std::string, ListedFile> List() {
        ProgramRun run = Helper({"list", file});
        EXPECT_EQ(run.status, 0) << run.err;
        std::map<std::string, ListedFile> listed;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            ListedFile entry;
            EXPECT_TRUE(ParseLine(line, entry)) << line;
            EXPECT_EQ(listed.count(entry.name), 0u) << line;
            listed[entry.name] = entry;
        }
        return listed;
    }

    TempDirectory temp;
    std::string file;
};

TEST_F(ExtfsHelperTest, ListShowsEveryItemAsAFileOfTheStreamsSize) {
    struct stat status {};
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    char when[32];
    std::strftime(when, sizeof(when), "%m-%d-%Y %H:%M:%S", std::localtime(&status.st_mtime));

    const std::map<std::string, ListedFile> listed = List();
    ASSERT_EQ(listed.size(), std::size(kStreams) + 2);
    EXPECT_EQ(listed.at("{Data}").size, 9u);
    EXPECT_EQ(listed.count("{Security_Data}"), 1u);
    for (const NamedStream& s : kStreams) {
        ASSERT_EQ(listed.count(s.item), 1u) << s.item;
        const ListedFile& entry = listed.at(s.item);
        EXPECT_EQ(entry.size, ("contents of " + s.stream).size()) << s.item;
        EXPECT_EQ(entry.mode, "-rw-r-----") << s.item;
        EXPECT_EQ(entry.date + " " + entry.time, when) << s.item;
    }
}

TEST_F(ExtfsHelperTest, CopyoutCopyinAndRmRoundTrip) {
    for (const NamedStream& s : kStreams) {
        const std::string out = temp.PathOf("out");
        ProgramRun got = Helper({"copyout", file, s.item, out});
        EXPECT_EQ(got.status, 0) << s.item << got.err;
        EXPECT_EQ(temp.Contents("out"), "contents of " + s.stream) << s.item;

        // In again under a new name, then out of the file.
        const std::string copy = "copy of " + s.item;
        ProgramRun put = Helper({"copyin", file, copy, out});
        EXPECT_EQ(put.status, 0) << s.item << put.err;
        EXPECT_EQ(StreamsOf(file)["copy of " + s.stream], "contents of " + s.stream) << s.item;
        EXPECT_EQ(Helper({"rm", file, copy}).status, 0) << s.item;
        EXPECT_EQ(Helper({"rm", file, s.item}).status, 0) << s.item;
        EXPECT_EQ(StreamsOf(file).count(s.stream), 0u) << s.item;
    }
    EXPECT_EQ(StreamsOf(file), StreamSet{});
    EXPECT_EQ(temp.Contents("notes.txt"), "main data");
    // mc names the stored file with a folder before it at times.
    ASSERT_EQ(Helper({"copyin", file, "/again", temp.PathOf("out")}).status, 0);
    EXPECT_EQ(Helper({"copyout", file, "/again", temp.PathOf("back")}).status, 0);
    EXPECT_EQ(temp.Contents("back"), temp.Contents("out"));
}

TEST_F(ExtfsHelperTest, FailuresExitNonZeroWithThePluginsMessage) {
    setxattr(file.c_str(), "user.end.", "x", 1, 0);
    struct Case {
        Texts arguments;  // FILE stands for the file, OUT for a path in the folder
        int status;
        std::string error;  // part of what stderr says
    };
    const Case cases[] = {
        {{"list", "missing.txt"}, 1, "cannot open missing.txt"},
        {{"copyout", "FILE", "nothere", "OUT"}, 1, "no item 'nothere' in the stream list"},
        // Windows would drop the dot; Linux keeps it and reaches the stream.
        {{"copyout", "FILE", "end[46]", "OUT"}, 0, ""},
        {{"rm", "FILE", "nothere"}, 1, "no item 'nothere' in the stream list"},
        {{"rm", "FILE", "{Data}"}, 1, "Plugin can delete only Alternative data stream"},
        {{"copyin", "FILE", "{Data}", "FILE"}, 1, "Only writing ALTERNATE DATA streams"},
        {{"copyin", "FILE", "[0]", "FILE"}, 1, "[Number] in name must be more than 0"},
        {{"copyin", "FILE", "x", "OUT"}, 1, "No such file or directory"},
        {{"mkdir", "FILE", "d"}, 1, "the streams of a file hold no folders"},
        {{"copyout", "FILE", "plain"}, 2, "usage: morvex list FILE"},
        {{}, 2, "usage: morvex list FILE"},
    };
    for (const Case& c : cases) {
        Texts arguments;
        for (std::string argument : c.arguments)
            arguments.push_back(argument == "FILE" ? file
                                : argument == "OUT" ? temp.PathOf("absent") : argument);
        ProgramRun run = Helper(arguments);
        EXPECT_EQ(run.status, c.status) << c.error << run.err;
        EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
        EXPECT_EQ(temp.Exists("absent"), c.status == 0) << c.error;
        unlink(temp.PathOf("absent").c_str());
    }
    EXPECT_EQ(StreamsOf(file).size(), std::size(kStreams) + 1);
}

}  // namespace

namespace {

// mc reads the list in one run and acts in another; the acting run names the
// item itself, so a list that changed meanwhile cannot turn it to another
// item. Only a name morvex would read as an index goes as the index.
TEST(ExtfsHelperActs, ByTheNameMcShows) {
    TempDirectory temp;
    const std::string file = temp.AddFile("f", "data");
    for (const char* stream : {"a", "#9", "b c"})
        setxattr(file.c_str(), (std::string("user.") + stream).c_str(), "x", 1, 0);
    const std::string log = temp.PathOf("arguments.log");
    const std::string wrapper = temp.AddFile(
        "morvex", "#!/bin/sh\nfor a in \"$@\"; do printf '%s|' \"$a\" >> " + log +
                      "; done\necho >> " + log + "\nexec " + FindBuildFile("morvex") +
                      " \"$@\"\n");
    chmod(wrapper.c_str(), 0755);
    std::vector<std::string> environment = HelperEnvironment(temp.PathOf("registry.reg"));
    environment[0] = "MORVEX_PROGRAM=" + wrapper;
    struct Case {
        const char* shown;     // as mc names the item
        const char* argument;  // what the acting run of morvex is given
    };
    const Case cases[] = {{"b c", "b c"}, {"a", "a"}, {"#9", "#"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        std::remove(log.c_str());
        ProgramRun run = RunProgram(ExtfsHelperPath(), {"rm", file, c.shown},
                                    {environment, "", temp.Path()});
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string calls = temp.Contents("arguments.log");
        const std::string last = calls.substr(calls.rfind("rm|"));
        const std::string expected = "rm|--yes|--|" + file + "|" + c.argument;
        EXPECT_EQ(last.substr(0, expected.size()), expected);
        EXPECT_EQ(StreamsOf(file).count(c.shown), 0u);
    }
    EXPECT_EQ(StreamsOf(file), StreamSet{});
}

}  // namespace
