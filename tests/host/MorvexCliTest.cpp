// The morvex program as its users run it: on real files, through the module
// built beside it, judged by its exit status and what it prints.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "host/module/BuildLocation.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The same as a JSON string.
std::string JsonWindowsName(const std::string& linuxPath) {
    std::string json = "\"";
    for (char c : WindowsName(linuxPath))
        json += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return json + '"';
}

::testing::AssertionResult Contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "no " << part << " in: " << text;
}

// The JSON entry of an alternate data stream, after its index.
std::string StreamJson(const std::string& name, size_t size) {
    return "\"name\": \"" + name + "\", \"size\": " + std::to_string(size) +
           ", \"description\": \"Alternative data stream\"}";
}

// The text with the digits before `marker` replaced by N.
std::string WithoutNumberBefore(std::string text, const std::string& marker) {
    size_t end = text.find(marker);
    if (end == std::string::npos)
        return text;
    size_t start = end;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1])))
        --start;
    return text.replace(start, end - start, "N");
}

class MorvexCliTest : public ::testing::Test {
protected:
    MorvexCliTest() {
        report = temp.AddFile("report.txt", "0123456789");
        AddStream(report, "notes", "hello");
    }

    static void AddStream(const std::string& file, const std::string& name,
                          const std::string& data) {
        ASSERT_EQ(setxattr(file.c_str(), ("user." + name).c_str(), data.data(), data.size(), 0),
                  0)
            << name;
    }

    // Every run keeps its settings in this test's own registry file.
    ProgramRun Run(const std::vector<std::string>& arguments,
                   std::vector<std::string> environment = {}) {
        environment.push_back("MORVEX_REGISTRY=" + temp.PathOf("registry.reg"));
        return RunProgram(FindBuildFile("morvex"), arguments, {environment, "", temp.Path()});
    }

    // The output of `list --json`, checked by an independent, strict reader
    // to be valid JSON in valid UTF-8.
    std::string ListJson(const std::string& file, std::vector<std::string> environment = {}) {
        ProgramRun run = Run({"list", file, "--json"}, environment);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        ProgramRun check = RunProgram(
            "/usr/bin/env",
            {"python3", "-c",
             "import json, sys; json.loads(sys.stdin.buffer.read().decode('utf-8'))"},
            {{}, run.out, ""});
        EXPECT_EQ(check.status, 0) << check.err << " in: " << run.out;
        return run.out;
    }

    TempDirectory temp;
    std::string report;
};

TEST_F(MorvexCliTest, ListPrintsTheTitleThenOneLinePerStream) {
    ProgramRun run = Run({"list", report});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 4u) << run.out;
    EXPECT_EQ(lines[0], "MORVEX:report.txt");
    // The descriptor's size depends on the system; the size column is as
    // wide as it, and right-aligned.
    const std::string descriptorSize = std::to_string(std::stoul(lines[2].substr(3)));
    const std::string pad(std::max<size_t>(descriptorSize.size(), 2), ' ');
    EXPECT_EQ(lines[1], "0  " + pad.substr(2) + "10  {Data}           Standard data");
    EXPECT_EQ(lines[2], "1  " + pad.substr(descriptorSize.size()) + descriptorSize +
                            "  {Security_Data}  Security descriptor data");
    EXPECT_EQ(lines[3], "2  " + pad.substr(1) + "5  notes            Alternative data stream");
}

TEST_F(MorvexCliTest, ListAsJsonGivesEveryItemWithItsFields) {
    std::string json = ListJson(report);
    // The descriptor's size depends on the system; everything else is fixed.
    json = WithoutNumberBefore(json, ", \"description\": \"Security");
    EXPECT_EQ(json, "{\"title\": \"MORVEX:report.txt\", \"path\": \"" + report +
                        "\", \"windows_path\": " + JsonWindowsName(report) +
                        ", \"items\": ["
                        "{\"index\": 0, \"name\": \"{Data}\", \"size\": 10, "
                        "\"description\": \"Standard data\"}, "
                        "{\"index\": 1, \"name\": \"{Security_Data}\", \"size\": N, "
                        "\"description\": \"Security descriptor data\"}, "
                        "{\"index\": 2, \"name\": \"notes\", \"size\": 5, "
                        "\"description\": \"Alternative data stream\"}]}\n");
}

TEST_F(MorvexCliTest, NamesBeyondAsciiAndWithControlCharactersStayValidJson) {
    AddStream(report, "caf\xC3\xA9", "1");
    AddStream(report, "\xE6\x97\xA5\xE6\x9C\xAC", "22");
    AddStream(report, "tab\there", "333");
    AddStream(report, "quote\"mark", "");
    std::string json = ListJson(report);
    EXPECT_TRUE(Contains(json, StreamJson("caf\xC3\xA9", 1)));
    EXPECT_TRUE(Contains(json, StreamJson("\xE6\x97\xA5\xE6\x9C\xAC", 2)));
    EXPECT_TRUE(Contains(json, StreamJson("tab[9]here", 3)));
    EXPECT_TRUE(Contains(json, StreamJson(R"(quote\"mark)", 0)));

    // A file whose own name holds a tab: the title carries it, escaped.
    std::string tabbed = temp.AddFile("a\tb.txt", "x");
    EXPECT_TRUE(Contains(ListJson(tabbed), R"({"title": "MORVEX:a\tb.txt")"));
    EXPECT_EQ(Lines(Run({"list", tabbed}).out).at(0), "MORVEX:a\\tb.txt");
}

TEST_F(MorvexCliTest, StreamNamesAreReadInTheOemCodePage) {
    // The plug-in hands names over in the OEM page; the output is UTF-8 still.
    const std::string cyrillic = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
    AddStream(report, cyrillic, "x");
    EXPECT_TRUE(Contains(ListJson(report, {"MORVEX_OEMCP=866"}), StreamJson(cyrillic, 1)));
    // A page without the characters gives replacements, never broken UTF-8.
    ListJson(report, {"MORVEX_OEMCP=437"});
}

TEST_F(MorvexCliTest, FilesAreNamedTheLinuxWayOrTheWindowsWay) {
    temp.AddFile("with space.txt", "ab");
    temp.AddFile("\"quoted\"", "abc");
    // "path" is the name as given, "windows_path" the file it reaches.
    const std::string reached = "\"windows_path\": " + JsonWindowsName(report);
    EXPECT_TRUE(Contains(ListJson(WindowsName(report)), reached));
    EXPECT_TRUE(Contains(ListJson("report.txt"), "\"path\": \"report.txt\", " + reached));
    EXPECT_TRUE(Contains(ListJson("with space.txt"), "\"title\": \"MORVEX:with space.txt\""));
    EXPECT_TRUE(Contains(ListJson("\"quoted\""), R"("title": "MORVEX:\"quoted\"")"));
}

TEST_F(MorvexCliTest, AFileThatCannotBeOpenedFails) {
    ProgramRun run = Run({"list", temp.PathOf("missing.txt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("missing.txt: The system cannot find the file specified."),
              std::string::npos)
        << run.err;
    EXPECT_EQ(Run({"list", "", "--json"}).status, 1);
}

TEST_F(MorvexCliTest, CommandLinesThatCannotBeRunAreUsageErrors) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"lst", report},
        {"list"},
        {"list", report, report},
        {"list", report, "--jsn"},
        {"config", "--parse-security"},
        {"config", "--parse-security", "maybe"},
        {"config", report},
        {"get", report, "{Data}"},
        {"put", report},
        {"rm", report},
    };
    for (const auto& arguments : wrong) {
        ProgramRun run = Run(arguments);
        std::string shown = arguments.empty() ? "(nothing)" : arguments[0];
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_NE(run.err.find("usage:"), std::string::npos) << shown;
        for (const std::string& line : Lines(run.err))
            EXPECT_EQ(line.substr(0, 8), "morvex: ") << line;
    }

    ProgramRun help = Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("morvex list [--json] [-h|--human-readable] FILE"), std::string::npos);
    // "--" ends the options, so a file may be called --json.
    temp.AddFile("--json", "");
    EXPECT_EQ(Run({"list", "--", "--json"}).status, 0);
}

TEST_F(MorvexCliTest, HelpVersionAndOutputFollowTheConventions) {
    struct Case {
        Texts arguments;
        int status;
        std::string outStart;  // what standard output starts with
        std::string outHolds;  // and holds further on
    };
    const Case cases[] = {
        {{"--help"}, 0, "usage: morvex list|get|put|rm|scan|config", "morvex COMMAND --help"},
        {{"list", "--help"}, 0, "usage: morvex list [--json] [-h|--human-readable] FILE\n",
         "Example:\n  morvex list "},
        {{"get", "x", "--help"}, 0, "usage: morvex get FILE [ITEM ...] --to DIR",
         "Examples:\n  morvex get "},
        {{"put", "--help"}, 0, "usage: morvex put FILE SOURCE ...", "Examples:\n  morvex put "},
        {{"rm", "--help"}, 0, "usage: morvex rm FILE ITEM ...", "Example:\n  morvex rm "},
        {{"scan", "--help"}, 0, "usage: morvex scan [--json] DIR ...",
         "Example:\n  morvex scan "},
        {{"config", "--help"}, 0, "usage: morvex config [--used-by-default on|off]",
         "Example:\n  morvex config "},
        // Each switch by its option, output, dialog text and registry value.
        {{"config", "--help"}, 0, "usage: morvex config", "(used-by-default: on)"},
        {{"config", "--help"}, 0, "usage: morvex config",
         "  --used-by-default on|off  a file manager opens every file as streams by\n"
         "                            default (the dialog's \"Open every file as\n"
         "                            streams by default\"; registry value\n"
         "                            UsedByDefault)\n"},
        {{"config", "--help"}, 0, "usage: morvex config",
         "(the dialog's\n                            \"Show security descriptors as text "
         "reports\";\n                            registry value ParseSecurity)\n"},
        // After "--", --help is a file name; "-" is one anywhere.
        {{"list", "--", "--help"}, 1, "", ""},
        {{"list", "-"}, 0, "MORVEX:-\n", "{Data}"},
        {{"--version", "--help"}, 2, "", ""},
    };
    temp.AddFile("-", "dash");
    for (const Case& c : cases) {
        ProgramRun run = Run(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments[0] << " " << c.arguments.back();
        EXPECT_EQ(run.out.substr(0, c.outStart.size()), c.outStart);
        EXPECT_TRUE(Contains(run.out, c.outHolds));
        for (const std::string& line : Lines(run.err))
            EXPECT_EQ(line.substr(0, 8), "morvex: ") << line;
    }
    ProgramRun version = Run({"--version"});
    EXPECT_EQ(version.status, 0);
    // "morvex MAJOR.MINOR.PATCH"
    EXPECT_EQ(version.out.substr(0, 7), "morvex ");
    EXPECT_EQ(std::count(version.out.begin(), version.out.end(), '.'), 2) << version.out;
    EXPECT_EQ(version.out.find_first_not_of("0123456789.", 7), version.out.size() - 1);
    EXPECT_EQ(version.out.back(), '\n');

    // Output that cannot be written is a failure, told as GNU tools tell it.
    for (const std::string& command : Texts{"--help", "list " + report, "list --json " + report}) {
        ProgramRun full = RunProgram("/bin/sh", {"-c", FindBuildFile("morvex") + " " + command +
                                                           " > /dev/full"},
                                     {{"MORVEX_REGISTRY=" + temp.PathOf("registry.reg")}, "", ""});
        EXPECT_EQ(full.status, 1) << command;
        EXPECT_EQ(full.err, "morvex: write error: No space left on device\n") << command;
    }
}

TEST_F(MorvexCliTest, WithoutATerminalNothingWaitsAndNoProgressIsShown) {
    const std::string source = temp.AddFile("added", "new");
    ProgramRun put = Run({"put", report, source});
    EXPECT_EQ(put.status, 0) << put.err;
    EXPECT_EQ(put.out + put.err, "");
    ProgramRun config = Run({"config"});
    EXPECT_EQ(config.status, 0);
    EXPECT_EQ(config.err, "");
}

TEST_F(MorvexCliTest, ConfigShowsAndSetsTheSwitches) {
    ProgramRun shown = Run({"config"});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, "used-by-default: on\nparse-security: on\n");
    EXPECT_EQ(shown.err, "");

    ProgramRun set = Run({"config", "--parse-security", "off"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "used-by-default: on\nparse-security: off\n");
    EXPECT_EQ(Run({"config"}).out, "used-by-default: on\nparse-security: off\n");

    set = Run({"config", "--used-by-default=off", "--parse-security", "on"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(Run({"config"}).out, "used-by-default: off\nparse-security: on\n");
    // The switch for offered files does not bind the command line.
    EXPECT_EQ(Run({"list", report}).status, 0);
}

}  // namespace
