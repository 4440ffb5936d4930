// The morvex program at a terminal: the questions it asks, what Enter and the
// typed answers do, and the progress notice that goes when the work is done.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <functional>
#include <string>
#include <vector>

#include "host/module/BuildLocation.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/host/PseudoTerminalSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;

// The notice, then as many blanks over it, each after a carriage return.
std::string NoticeErased(const std::string& notice) {
    return notice + "\r" + std::string(notice.size(), ' ') + "\r";
}

class TerminalSessionTest : public ::testing::Test {
protected:
    TerminalSessionTest() : report(temp.AddFile("report.txt", "0123456789")) {
        setxattr(report.c_str(), "user.notes", "hello", 5, 0);
    }

    std::vector<std::string> Environment() const {
        return {"MORVEX_REGISTRY=" + temp.PathOf("registry.reg"), "LC_ALL=C.UTF-8"};
    }

    bool HasNotes() const { return getxattr(report.c_str(), "user.notes", nullptr, 0) == 5; }

    std::string Settings() const {
        return RunProgram(FindBuildFile("morvex"), {"config"}, {Environment(), "", ""}).out;
    }

    TempDirectory temp;
    std::string report;
};

TEST_F(TerminalSessionTest, QuestionsAreAskedAndAnsweredOnTheTerminal) {
    const std::string given = temp.PathOf("given"), typed = temp.PathOf("typed");
    const std::string allOn = "used-by-default: on\nparse-security: on\n";
    struct Case {
        const char* what;
        Texts arguments;
        std::string typed;
        int status;
        Texts shown;  // parts of what the terminal shows, in this order
        std::function<void()> check;
    };
    const Case cases[] = {
        {"Enter accepts the destination shown",
         {"get", report, "notes", "--to", given},
         "\n\n",
         0,
         {"Extract streams\n", "[" + given + "\\] (Enter keeps): ",
          "  1) Extract  2) Cancel  [1]: ", NoticeErased("Extracting streams...")},
         [&] { EXPECT_EQ(temp.Contents("given/notes"), "hello"); }},
        {"another destination typed",
         {"get", report, "notes", "--to", given + "2"},
         typed + "\\\n\n",
         0,
         {"[" + given + "2\\] (Enter keeps): "},
         [&] {
             EXPECT_EQ(temp.Contents("typed/notes"), "hello");
             EXPECT_FALSE(temp.Exists("given2"));
         }},
        {"a deletion declined",
         {"rm", report, "notes"},
         "2\n",
         1,
         {"Delete streams\nDo you want to delete the stream \"notes\"?\n  1) Delete  2) Keep: "},
         [&] { EXPECT_TRUE(HasNotes()); }},
        {"a deletion agreed to",
         {"rm", report, "notes"},
         "1\n",
         0,
         {"  1) Delete  2) Keep: ", NoticeErased("Deleting streams...")},
         [&] { EXPECT_FALSE(HasNotes()); }},
        {"the settings dialog cancelled",
         {"config"},
         "n\nn\n2\n",
         1,
         {"MORVEX settings\n", "  1) OK  2) Cancel  [1]: "},
         [&] { EXPECT_EQ(Settings(), allOn); }},
        {"a check box toggled, the other kept",
         {"config"},
         "\nn\n\n",
         0,
         {"[x] Open every file as streams by default (y/n, Enter keeps): ",
          "[x] Show security descriptors as text reports (y/n, Enter keeps): ",
          "  1) OK  2) Cancel  [1]: ", "used-by-default: on\nparse-security: off\n"},
         [&] { EXPECT_EQ(Settings(), "used-by-default: on\nparse-security: off\n"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TerminalRun run =
            RunOnTerminal(FindBuildFile("morvex"), c.arguments, {Environment(), c.typed, ""});
        EXPECT_EQ(run.status, c.status) << run.shown;
        size_t at = 0;
        for (const std::string& part : c.shown) {
            at = run.shown.find(part, at);
            EXPECT_NE(at, std::string::npos) << "no " << part << " in order in: " << run.shown;
        }
        c.check();
    }
}

}  // namespace
