// The bash completion of morvex (completion/morvex.bash), run by bash with
// the words as bash's own splitting hands them over: the commands, each
// command's options and values, file and folder names, and the item names
// that the built program lists for FILE.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "host/module/BuildLocation.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;

// The script as the source tree holds it, found from this file's own path.
std::string CompletionScript() {
    std::string self = __FILE__;
    return self.substr(0, self.rfind("tests/host/")) + "completion/morvex.bash";
}

// Sets the variables bash sets for a completion (arguments: the script, the
// line, its words), completes the last word and prints the offers, one a line.
const char kDriver[] =
    "source \"$1\" || exit 1\n"
    "COMP_LINE=$2\n"
    "shift 2\n"
    "COMP_WORDS=(\"$@\")\n"
    "COMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
    "COMP_POINT=${#COMP_LINE}\n"
    "_morvex morvex \"${COMP_WORDS[COMP_CWORD]}\" \"${COMP_WORDS[COMP_CWORD - 1]}\"\n"
    "printf '%s\\n' \"${COMPREPLY[@]}\"\n";

class CompletionTest : public ::testing::Test {
protected:
    CompletionTest() {
        report = temp.AddFile("report.txt", "0123456789");
        for (const char* stream : {"notes", "a=b c", "tab\tname", "q\"u", "{x}", "-minus",
                                   "caf\xC3\xA9"})
            setxattr(report.c_str(), (std::string("user.") + stream).c_str(), "x", 1, 0);
        temp.AddDirectory("out");
        temp.AddDirectory("other dir");
        temp.AddFile("it's");
        temp.AddFile("-dash");
        mkfifo(temp.PathOf("pipe").c_str(), 0600);
        // The line starts with ./morvex, as a user runs a program from here.
        symlink(FindBuildFile("morvex").c_str(), temp.PathOf("morvex").c_str());
    }

    // What the completion offers for the last word of `line`, sorted. In
    // `line` a blank separates words and '|' separates two pieces of one word
    // that bash splits apart at a word break such as '='; "\ " is a blank
    // inside a word.
    Texts Complete(const std::string& line) {
        std::string commandLine = line;
        commandLine.erase(std::remove(commandLine.begin(), commandLine.end(), '|'),
                          commandLine.end());
        // A completion that hangs fails here instead of holding the suite up.
        Texts arguments = {"10",     "/bin/bash", "--norc",          "-c",
                           kDriver,  "driver",    CompletionScript(), commandLine};
        std::string piece;
        for (size_t i = 0; i < line.size(); ++i) {
            if (line.compare(i, 2, "\\ ") == 0) {
                piece += line[i++];
                piece += ' ';
            } else if (line[i] == ' ' || line[i] == '|') {
                arguments.push_back(piece);
                piece.clear();
            } else {
                piece += line[i];
            }
        }
        arguments.push_back(piece);
        ProgramRun run = RunProgram("/usr/bin/timeout", arguments,
                                    {{"MORVEX_REGISTRY=" + temp.PathOf("registry.reg"),
                                      "HOME=" + temp.Path(), "LC_ALL=C.UTF-8"},
                                     "",
                                     temp.Path()});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "") << line;
        Texts offered;
        std::istringstream out(run.out);
        for (std::string candidate; std::getline(out, candidate);)
            if (!candidate.empty())
                offered.push_back(candidate);
        std::sort(offered.begin(), offered.end());
        return offered;
    }

    TempDirectory temp;
    std::string report;
};

Texts Sorted(Texts texts) {
    std::sort(texts.begin(), texts.end());
    return texts;
}

const Texts kEveryItem = {"{Data}", "{Security_Data}", "notes", "a=b c", "tab[9]name",
                          "q\"u", "[123]x}", "-minus", "caf\xC3\xA9"};

TEST_F(CompletionTest, CommandsAndOptions) {
    struct Case {
        const char* line;
        Texts offered;
    };
    const Case cases[] = {
        {"./morvex ", {"list", "get", "put", "rm", "scan", "config", "--help", "--version"}},
        {"./morvex l", {"list"}},
        {"./morvex --v", {"--version"}},
        {"./morvex move ", {}},
        {"./morvex list -", {"--json", "-h", "--human-readable", "--help", "--"}},
        {"./morvex list --h", {"--human-readable", "--help"}},
        {"./morvex get report.txt --", {"--to", "--output", "--move", "--yes", "--help", "--"}},
        {"./morvex get report.txt --to out --m", {"--move"}},
        {"./morvex get report.txt notes --o", {"--output"}},
        {"./morvex put report.txt -", {"--as", "--move", "--yes", "--help", "--"}},
        // --as names a new item: nothing to offer.
        {"./morvex put report.txt report.txt --as ", {}},
        {"./morvex rm report.txt notes -", {"--yes", "--help", "--"}},
        {"./morvex scan -", {"--json", "--help", "--"}},
        // config takes options only, and on or off for each.
        {"./morvex config ", {"--used-by-default", "--parse-security", "--help"}},
        {"./morvex config --parse-security ", {"on", "off"}},
        {"./morvex config --used-by-default o", {"on", "off"}},
        {"./morvex config --parse-security|=|of", {"off"}},
        {"./morvex config --parse-security|=", {"on", "off"}},
        {"./morvex config --parse-security on --u", {"--used-by-default"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Complete(c.line), Sorted(c.offered)) << c.line;
}

TEST_F(CompletionTest, FileAndFolderNames) {
    struct Case {
        const char* line;
        Texts offered;
    };
    const Case cases[] = {
        {"./morvex list re", {"report.txt"}},
        {"./morvex list report.txt ", {}},  // one FILE only
        {"./morvex list -- -", {"-dash"}},
        {"./morvex list 'it", {"it's"}},
        {"./morvex list it\\'", {"it's"}},
        {"./morvex put report.txt it", {"it's"}},
        {"./morvex put report.txt it's o", {"other dir", "out"}},
        {"./morvex get re", {"report.txt"}},
        {"./morvex rm re", {"report.txt"}},
        {"./morvex rm ", {"-dash", "it's", "morvex", "other dir", "out", "pipe", "report.txt"}},
        // Folders only where a folder is wanted, also after "--to=".
        {"./morvex get report.txt --to ", {"other dir", "out"}},
        {"./morvex get report.txt --to ou", {"out"}},
        {"./morvex get report.txt --to|=|o", {"other dir", "out"}},
        {"./morvex get report.txt --to|=|other\\ ", {"other dir"}},
        {"./morvex get report.txt --to|=", {"other dir", "out"}},
        {"./morvex scan ", {"other dir", "out"}},
        {"./morvex scan out ot", {"other dir"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Complete(c.line), Sorted(c.offered)) << c.line;
}

TEST_F(CompletionTest, ItemNamesOfTheFile) {
    struct Case {
        const char* line;
        Texts offered;
    };
    const Case cases[] = {
        {"./morvex get report.txt ", kEveryItem},
        {"./morvex rm report.txt ", kEveryItem},
        {"./morvex get report.txt n", {"notes"}},
        {"./morvex get report.txt notes", {"notes"}},
        {"./morvex get report.txt notes.", {}},
        {"./morvex get report.txt notes ", kEveryItem},
        {"./morvex get report.txt caf", {"caf\xC3\xA9"}},
        // FILE as the shell passes it on: a leading ~/ is the home folder
        // (here the test's), but not in quotes.
        {"./morvex get ~/report.txt n", {"notes"}},
        {"./morvex get '~/report.txt' n", {}},
        {"./morvex get ./report.tx n", {}},
        {"./morvex get 're'port.txt n", {"notes"}},
        // The options and their values are not operands.
        {"./morvex get report.txt --to out ", kEveryItem},
        {"./morvex get --to out report.txt n", {"notes"}},
        {"./morvex get --to|=|out report.txt n", {"notes"}},
        {"./morvex rm --yes report.txt t", {"tab[9]name"}},
        // After "--" a dash starts an item name.
        {"./morvex rm report.txt -- -", {"-minus"}},
        // Quoted or escaped as the shell takes it; readline puts in only what
        // follows the last word break or the open quote.
        {"./morvex rm report.txt '{", {"{Data}", "{Security_Data}"}},
        {"./morvex rm report.txt \"{S", {"{Security_Data}"}},
        {"./morvex rm report.txt \\[", {"[123]x}"}},
        {"./morvex rm report.txt q\\\"", {"q\"u"}},
        {"./morvex rm report.txt 'q\"", {"q\"u"}},
        {"./morvex rm report.txt a|=", {"b c"}},
        {"./morvex rm report.txt a|=|b\\ ", {"b c"}},
        {"./morvex rm report.txt 'a=", {"a=b c"}},
        {"./morvex rm report.txt \"a\"|=|b", {"b c"}},
        // No listing for a FILE that is missing, or a pipe, which would hold
        // the shell up.
        {"./morvex rm nosuch.txt ", {}},
        {"./morvex rm pipe ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Complete(c.line), Sorted(c.offered)) << c.line;
}

}  // namespace
