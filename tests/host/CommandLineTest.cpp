// How the morvex program reads its command line: commands, their operands and
// options, --help and --version, "--" and "-", and what is a usage error.
#include "host/commandline/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// The fields a case looks at, as one text: command, topic, operands, flags.
std::string Parsed(const CommandLine& line) {
    std::string text = std::string(CommandName(line.command)) + " " +
                       CommandName(line.helpTopic) + " [" + line.file + "]";
    for (const Texts* list : {&line.items, &line.sources, &line.directories})
        for (const std::string& operand : *list)
            text += " " + operand;
    if (!line.destination.empty())
        text += " to:" + line.destination;
    if (!line.output.empty())
        text += " output:" + line.output;
    if (!line.itemName.empty())
        text += " as:" + line.itemName;
    for (auto [on, name] : {std::pair{line.json, "json"}, {line.humanReadable, "human"},
                            {line.yes, "yes"}, {line.move, "move"}})
        text += on ? std::string(" ") + name : "";
    return text;
}

TEST(CommandLine, CommandsTakeTheirOperandsAndOptions) {
    struct Case {
        Texts arguments;
        std::string parsed;
    };
    const Case cases[] = {
        {{"--help"}, "--help --help []"},
        {{"--version"}, "--version --help []"},
        {{"list", "f", "-h"}, "list --help [f] human"},
        {{"list", "--human-readable", "--json", "f"}, "list --help [f] json human"},
        {{"list", "-"}, "list --help [-]"},
        {{"list", "--", "-h"}, "list --help [-h]"},
        {{"get", "f", "a", "#2", "--to=d", "--move"}, "get --help [f] a #2 to:d move"},
        {{"put", "f", "s", "--", "--yes"}, "put --help [f] s --yes"},
        {{"put", "f", "-", "--as", "x"}, "put --help [f] - as:x"},
        {{"get", "f", "a b", "--output", "-"}, "get --help [f] a b output:-"},
        {{"get", "f", "--output=o", "#0", "--move"}, "get --help [f] #0 output:o move"},
        {{"put", "f", "s", "--as", "[1]x y", "--yes"}, "put --help [f] s as:[1]x y yes"},
        {{"put", "f", "--as=..x", "s"}, "put --help [f] s as:..x"},
        {{"rm", "--yes", "f", "a"}, "rm --help [f] a yes"},
        {{"scan", "d1", "--json", "d2"}, "scan --help [] d1 d2 json"},
        // --help before "--" asks for the command's help, whatever else is given.
        {{"list", "--help"}, "--help list []"},
        {{"get", "--bogus", "--help"}, "--help get []"},
        {{"config", "--parse-security", "maybe", "--help"}, "--help config []"},
        {{"rm", "f", "--", "--help"}, "rm --help [f] --help"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Parsed(ParseCommandLine(c.arguments)), c.parsed) << c.parsed;

    CommandLine config = ParseCommandLine({"config", "--used-by-default=off"});
    EXPECT_EQ(config.usedByDefault, false);
    EXPECT_EQ(config.parseSecurity, std::nullopt);
}

TEST(CommandLine, UsageErrorsSayWhyAndWhoseUsageToShow) {
    struct Case {
        Texts arguments;
        std::string reason;
        Command usageOf;
    };
    const Case cases[] = {
        {{}, "no command given", Command::Help},
        {{"lst"}, "unknown command 'lst'", Command::Help},
        {{"--version", "list"}, "--version takes no arguments", Command::Help},
        {{"list"}, "list: needs exactly one FILE", Command::List},
        {{"list", "a", "b"}, "list: needs exactly one FILE", Command::List},
        {{"list", "f", "-H"}, "list: unknown option -H", Command::List},
        {{"scan"}, "scan: needs at least one DIR", Command::Scan},
        {{"scan", "d", "-h"}, "scan: unknown option -h", Command::Scan},
        {{"get", "f"}, "get: needs either --to DIR or --output PATH", Command::Get},
        {{"get", "f", "a", "--to", "d", "--output", "o"},
         "get: needs either --to DIR or --output PATH", Command::Get},
        {{"get", "f", "--output", "o"}, "get: --output PATH takes exactly one ITEM", Command::Get},
        {{"get", "f", "a", "b", "--output", "o"}, "get: --output PATH takes exactly one ITEM",
         Command::Get},
        {{"get", "f", "a", "--output="}, "get: --output needs a value", Command::Get},
        {{"put", "f", "a", "b", "--as", "x"}, "put: --as ITEM takes exactly one SOURCE",
         Command::Put},
        {{"put", "f", "--as", "x"}, "put: needs a FILE and at least one SOURCE", Command::Put},
        {{"put", "f", "a", "-"},
         "put: standard input (-) is written under the item name --as ITEM gives", Command::Put},
        {{"put", "f", "-", "--as", "x", "--move"}, "put: standard input (-) cannot be moved",
         Command::Put},
        {{"put", "f", "a", "--as"}, "put: --as needs a value", Command::Put},
        {{"put", "f", "a", "--as", ".."}, "put: --as takes an item name, not '..'", Command::Put},
        {{"put", "f", "a", "--as", "."}, "put: --as takes an item name, not '.'", Command::Put},
        {{"put", "f", "a", "--as", "d/x"}, "put: --as takes an item name, not 'd/x'",
         Command::Put},
        {{"put", "f", "a", "--as", "d\\x"}, "put: --as takes an item name, not 'd\\x'",
         Command::Put},
        {{"rm", "f"}, "rm: needs a FILE and at least one ITEM", Command::Rm},
        {{"config", "--parse-security"}, "config: --parse-security needs a value",
         Command::Config},
    };
    for (const Case& c : cases) {
        try {
            ParseCommandLine(c.arguments);
            ADD_FAILURE() << c.reason;
        } catch (const UsageError& error) {
            EXPECT_EQ(error.what(), c.reason);
            EXPECT_EQ(error.Of(), c.usageOf) << c.reason;
        }
    }
}

}  // namespace
