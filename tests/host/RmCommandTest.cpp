// morvex rm on real files: which items an ITEM selects, what is asked and
// printed, the exit status, and what is left of the file's streams.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "host/MorvexProgram.h"
#include "host/module/BuildLocation.h"
#include "platform/posix/core/FaultInjection.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;

class RmCommandTest : public ::testing::Test {
protected:
    // Five items: {Data}, {Security_Data}, then notes, tab<TAB>here and
    // tab[9]here in the file system's order, listed as tab[9]here and
    // tab[91]9]here.
    RmCommandTest() : report(temp.AddFile("report.txt", "0123456789")) { AddStreams(); }

    void AddStreams() {
        for (const char* stream : {"notes", "tab\there", "tab[9]here"})
            setxattr(report.c_str(), (std::string("user.") + stream).c_str(), "x", 1, 0);
    }

    ProgramRun Run(const Texts& arguments) {
        return RunProgram(FindBuildFile("morvex"), arguments,
                          {{"MORVEX_REGISTRY=" + temp.PathOf("registry.reg")}, "", temp.Path()});
    }

    int StreamsLeft() const { return static_cast<int>(listxattr(report.c_str(), nullptr, 0)); }
    bool Has(const std::string& stream) const {
        return getxattr(report.c_str(), ("user." + stream).c_str(), nullptr, 0) >= 0;
    }

    TempDirectory temp;
    std::string report;
};

TEST_F(RmCommandTest, ItemsAreSelectedByNameOrIndex) {
    struct Case {
        Texts arguments;  // after "rm FILE"
        int status;
        std::string error;  // what stderr says after "morvex: FILE: "
        int left;  // bytes of the attribute name list: notes 11, tab<TAB>here 14, tab[9]here 16
    };
    const Case cases[] = {
        {{"notes", "--yes"}, 0, "", 30},
        {{"--yes", "tab[9]here"}, 0, "", 27},
        {{"tab[91]9]here", "--yes"}, 0, "", 25},
        {{"notes", "notes", "tab[9]here", "tab[91]9]here", "--yes"}, 0, "", 0},
        {{"#4", "--yes"}, 0, "", -1},  // the last item, whichever stream it is
        {{"#5", "--yes"}, 1, "no item '#5' in the stream list", 41},
        {{"notes", "Notes", "--yes"}, 1, "no item 'Notes' in the stream list", 41},
        {{"notes", "#", "--yes"}, 1, "no item '#' in the stream list", 41},
        {{"#4294967298", "--yes"}, 1, "no item '#4294967298' in the stream list", 41},
    };
    for (const Case& c : cases) {
        AddStreams();
        Texts arguments = {"rm", report};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        ProgramRun run = Run(arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments[0];
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.error.empty() ? "" : "morvex: " + report + ": " + c.error + "\n");
        EXPECT_TRUE(c.left < 0 || StreamsLeft() == c.left) << c.arguments[0];
    }
}

// #N is an index; a stream may be named "#N" too. The one stream of the file
// below is item #2: {Data} and {Security_Data} come first.
TEST_F(RmCommandTest, AnIndexThatIsAlsoAStreamNameIsRefused) {
    struct Case {
        const char* stream;    // the file's one named stream
        const char* argument;  // after "rm FILE"
        int status;
        std::string error;  // what stderr says after "morvex: FILE: "
    };
    const Case cases[] = {
        {"#1", "#1", 1, "'#1' is both the index of item #1 and the name of item #2; name that one as #2"},
        {"#9", "#9", 1, "'#9' is both the index of item #9 and the name of item #2; name that one as #2"},
        {"#1", "#2", 0, ""},  // by its index
        {"#2", "#2", 0, ""},  // its name and its index agree
        {"#02", "#2", 0, ""},
    };
    for (const Case& c : cases) {
        const std::string file = temp.AddFile("hash.txt", "x");
        setxattr(file.c_str(), (std::string("user.") + c.stream).c_str(), "x", 1, 0);
        ProgramRun run = Run({"rm", file, c.argument, "--yes"});
        EXPECT_EQ(run.status, c.status) << c.stream << " " << c.argument;
        EXPECT_EQ(run.err, c.error.empty() ? "" : "morvex: " + file + ": " + c.error + "\n");
        EXPECT_EQ(getxattr(file.c_str(), (std::string("user.") + c.stream).c_str(), nullptr, 0) >= 0,
                  c.status != 0)
            << c.stream << " " << c.argument;
        std::remove(file.c_str());
    }
}

// As rm goes on past a file it cannot remove, an item the plug-in refuses is
// told in one line and the others are deleted all the same.
TEST_F(RmCommandTest, AnItemThatCannotBeDeletedIsToldAndTheOthersGo) {
    const std::string refused = "Plugin can delete only Alternative data stream\n";
    struct Case {
        Texts items;
        Texts told;  // the items named in the error lines
        Texts kept;  // of the streams
    };
    const Case cases[] = {
        {{"notes", "{Data}"}, {"{Data}"}, {}},
        {{"{Data}", "notes"}, {"{Data}"}, {}},
        // Told in the panel's order, whatever the order given.
        {{"{Security_Data}", "notes", "{Data}"}, {"{Data}", "{Security_Data}"}, {}},
        {{"{Data}"}, {"{Data}"}, {"notes"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.items[0] + " ... " + c.items.back());
        Texts arguments = {"rm", report};
        arguments.insert(arguments.end(), c.items.begin(), c.items.end());
        arguments.push_back("--yes");
        ProgramRun run = Run(arguments);
        std::string expected;
        for (const std::string& item : c.told)
            expected += "morvex: " + report + ":" + item + ": " + refused;
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, expected);
        EXPECT_EQ(Has("notes"), !c.kept.empty());
        EXPECT_EQ(temp.Contents("report.txt"), "0123456789");
        AddStreams();
    }
}

// A stream that another program deletes while rm runs is told as the one
// not deleted, and every other one still goes: the plug-in stops at it, and
// the streams after it are still listed. One the system refuses to delete
// is told as well, with its own reason.
TEST_F(RmCommandTest, AStreamGoneMeanwhileIsToldAndTheOthersGo) {
    const std::string gone = "The system cannot find the file specified.";
    const std::string denied = "Access is denied.";
    const Texts all = {"notes", "tab[9]here", "tab[91]9]here"};
    struct Case {
        Texts items;
        const char* vanishing;  // removed by another program at that DeleteFileA call, or null
        unsigned when;          // no stream vanishing: that call and the next are refused
        const char* told;       // the item told, or null
        const std::string* why;
        int left;  // bytes of the attribute name list afterwards
    };
    const Case cases[] = {
        {all, nullptr, 0, nullptr, nullptr, 0},
        {all, "notes", 1, "notes", &gone, 0},
        {all, "tab\there", 2, "tab[9]here", &gone, 0},
        {all, "tab[9]here", 3, "tab[91]9]here", &gone, 0},
        {all, "tab[9]here", 1, "tab[91]9]here", &gone, 0},
        {all, nullptr, 2, "tab[9]here", &denied, 14},
        {{"notes"}, "notes", 1, "notes", &gone, 30},
        {{"{Data}", "notes", "tab[9]here"}, "notes", 1, "notes", &gone, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        std::remove(report.c_str());
        report = temp.AddFile("report.txt", "0123456789");  // the streams in the order above
        AddStreams();
        Texts arguments = {"rm", report};
        arguments.insert(arguments.end(), c.items.begin(), c.items.end());
        arguments.push_back("--yes");
        const std::string attribute = std::string("user.") + (c.vanishing ? c.vanishing : "");
        if (c.vanishing != nullptr)
            mvx::InjectAction("DeleteFileA", c.when,
                              [&] { removexattr(report.c_str(), attribute.c_str()); });
        if (c.vanishing == nullptr && c.when > 0) {
            mvx::InjectFault("DeleteFileA", c.when, ERROR_ACCESS_DENIED);
            mvx::InjectFault("DeleteFileA", c.when + 1, ERROR_ACCESS_DENIED);
        }
        std::istringstream in;
        std::ostringstream out, err;
        const int status = RunMorvex(arguments, in, out, err, false);
        mvx::ClearFaults();
        std::string expected = c.items[0] == "{Data}" ? "morvex: " + report +
            ":{Data}: Plugin can delete only Alternative data stream\n" : "";
        if (c.told != nullptr)
            expected += "morvex: " + report + ":" + c.told + ": Delete error: " + *c.why + "\n";
        EXPECT_EQ(status, expected.empty() ? 0 : 1);
        EXPECT_EQ(err.str(), expected);
        EXPECT_EQ(StreamsLeft(), c.left);
    }
}

TEST_F(RmCommandTest, WithoutATerminalTheQuestionIsAnsweredNo) {
    ProgramRun run = Run({"rm", report, "notes"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "morvex: nothing deleted: there is no terminal to ask on; --yes answers the "
              "question\n");
    EXPECT_TRUE(Has("notes"));
}

TEST_F(RmCommandTest, OnATerminalTheQuestionIsAsked) {
    struct Case {
        const char* typed;
        int status;
        bool kept;
    };
    // The choices are 1) Delete and 2) Keep; another answer is asked again.
    for (const Case& c : {Case{"2\n", 1, true}, Case{"", 1, true}, Case{"3\n1\n", 0, false}}) {
        std::istringstream in(c.typed);
        std::ostringstream out, err;
        EXPECT_EQ(RunMorvex({"rm", report, "tab[9]here", "tab[91]9]here"}, in, out, err, true),
                  c.status);
        EXPECT_NE(err.str().find("Do you want to delete 2 streams?\n  1) Delete  2) Keep: "),
                  std::string::npos)
            << err.str();
        EXPECT_EQ(err.str().find("--yes"), std::string::npos) << c.typed;
        EXPECT_EQ(Has("tab[9]here"), c.kept) << c.typed;
    }
}

TEST_F(RmCommandTest, CommandLinesThatCannotBeRunAreUsageErrors) {
    for (const Texts& arguments : {Texts{"rm"}, Texts{"rm", report}, Texts{"rm", report, "--yes"},
                                   Texts{"rm", report, "notes", "--yes=1"}}) {
        ProgramRun run = Run(arguments);
        EXPECT_EQ(run.status, 2) << arguments.size();
        EXPECT_NE(run.err.find("usage:"), std::string::npos);
    }
    // "--" ends the options: an item may start with a dash.
    setxattr(report.c_str(), "user.--yes", "x", 1, 0);
    EXPECT_EQ(Run({"rm", "--yes", report, "--", "--yes"}).status, 0);
    EXPECT_FALSE(Has("--yes"));
    EXPECT_EQ(Run({"rm", temp.PathOf("missing.txt"), "notes", "--yes"}).status, 1);
}

}  // namespace
