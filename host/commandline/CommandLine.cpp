#include "host/commandline/CommandLine.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>

namespace {

bool IsOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// The arguments of one command, taken one at a time.
class ArgumentReader {
public:
    ArgumentReader(const std::vector<std::string>& arguments, Command command)
        : arguments(arguments), command(command) {}

    bool AtEnd() const { return next >= arguments.size(); }
    const std::string& Take() { return arguments[next++]; }

    // The value of option `name`, given as "--name VALUE" or "--name=VALUE".
    std::string ValueOf(const std::string& name, const std::string& argument) {
        std::string value;
        if (argument.size() > name.size() && argument[name.size()] == '=')
            value = argument.substr(name.size() + 1);
        else if (!AtEnd())
            value = Take();
        if (value.empty())
            throw Fail(name + " needs a value");
        return value;
    }

    // Splits "--name=VALUE" to "--name".
    static std::string OptionName(const std::string& argument) {
        return argument.substr(0, argument.find('='));
    }

    UsageError Fail(const std::string& reason) const {
        return UsageError(std::string(CommandName(command)) + ": " + reason, command);
    }

private:
    const std::vector<std::string>& arguments;
    Command command;
    std::size_t next = 0;
};

bool ParseSwitch(ArgumentReader& reader, const std::string& name, const std::string& argument) {
    std::string value = reader.ValueOf(name, argument);
    if (value == "on")
        return true;
    if (value == "off")
        return false;
    throw reader.Fail(name + " takes on or off, not '" + value + "'");
}

struct Flag {
    const char* name;
    bool* value;
};

// An option with a value, "--name VALUE" or "--name=VALUE".
struct ValueOption {
    const char* name;
    std::string* value;
};

// The operands of a command, with the flags and options given among them
// set; "--" ends the options, so an operand may start with '-' after it.
std::vector<std::string> TakeOperands(ArgumentReader& reader, std::initializer_list<Flag> flags,
                                      std::initializer_list<ValueOption> options = {}) {
    std::vector<std::string> operands;
    bool optionsEnded = false;
    while (!reader.AtEnd()) {
        const std::string& argument = reader.Take();
        if (optionsEnded || !IsOption(argument)) {
            operands.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = ArgumentReader::OptionName(argument);
        const ValueOption* option =
            std::find_if(options.begin(), options.end(),
                         [&](const ValueOption& o) { return name == o.name; });
        if (option != options.end()) {
            *option->value = reader.ValueOf(name, argument);
            continue;
        }
        const Flag* flag = std::find_if(flags.begin(), flags.end(),
                                        [&](const Flag& f) { return argument == f.name; });
        if (flag == flags.end())
            throw reader.Fail("unknown option " + argument);
        *flag->value = true;
    }
    return operands;
}

CommandLine ParseList(ArgumentReader& reader) {
    CommandLine line;
    line.command = Command::List;
    std::vector<std::string> files =
        TakeOperands(reader, {{"--json", &line.json},
                              {"-h", &line.humanReadable},
                              {"--human-readable", &line.humanReadable}});
    if (files.size() != 1)
        throw reader.Fail("needs exactly one FILE");
    line.file = files[0];
    return line;
}

// FILE, then the operands after it. `required` names what at least one of
// them must be; null when none is needed.
void TakeFileAndRest(const ArgumentReader& reader, const std::vector<std::string>& operands,
                     const char* required, CommandLine& line, std::vector<std::string>& rest) {
    if (operands.size() < (required ? 2u : 1u))
        throw reader.Fail(required ? std::string("needs a FILE and at least one ") + required
                                   : std::string("needs a FILE"));
    line.file = operands[0];
    rest.assign(operands.begin() + 1, operands.end());
}

CommandLine ParseRm(ArgumentReader& reader) {
    CommandLine line;
    line.command = Command::Rm;
    TakeFileAndRest(reader, TakeOperands(reader, {{"--yes", &line.yes}}), "ITEM", line,
                    line.items);
    return line;
}

CommandLine ParseGet(ArgumentReader& reader) {
    CommandLine line;
    line.command = Command::Get;
    std::vector<std::string> operands =
        TakeOperands(reader, {{"--move", &line.move}, {"--yes", &line.yes}},
                     {{"--to", &line.destination}, {"--output", &line.output}});
    TakeFileAndRest(reader, operands, nullptr, line, line.items);
    if (line.destination.empty() == line.output.empty())
        throw reader.Fail("needs either --to DIR or --output PATH");
    if (!line.output.empty() && line.items.size() != 1)
        throw reader.Fail("--output PATH takes exactly one ITEM");
    return line;
}

// A name the panel could show: one path component, neither "." nor "..".
bool IsItemName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}

CommandLine ParsePut(ArgumentReader& reader) {
    CommandLine line;
    line.command = Command::Put;
    std::vector<std::string> operands = TakeOperands(
        reader, {{"--move", &line.move}, {"--yes", &line.yes}}, {{"--as", &line.itemName}});
    TakeFileAndRest(reader, operands, "SOURCE", line, line.sources);
    const bool readsInput =
        std::find(line.sources.begin(), line.sources.end(), "-") != line.sources.end();
    if (readsInput && line.itemName.empty())
        throw reader.Fail("standard input (-) is written under the item name --as ITEM gives");
    if (readsInput && line.move)
        throw reader.Fail("standard input (-) cannot be moved");
    if (line.itemName.empty())
        return line;
    if (line.sources.size() != 1)
        throw reader.Fail("--as ITEM takes exactly one SOURCE");
    if (!IsItemName(line.itemName))
        throw reader.Fail("--as takes an item name, not '" + line.itemName + "'");
    return line;
}

CommandLine ParseScan(ArgumentReader& reader) {
    CommandLine line;
    line.command = Command::Scan;
    line.directories = TakeOperands(reader, {{"--json", &line.json}});
    if (line.directories.empty())
        throw reader.Fail("needs at least one DIR");
    return line;
}

CommandLine ParseConfig(ArgumentReader& reader) {
    CommandLine line;
    line.command = Command::Config;
    while (!reader.AtEnd()) {
        const std::string& argument = reader.Take();
        std::string name = ArgumentReader::OptionName(argument);
        if (name == "--used-by-default")
            line.usedByDefault = ParseSwitch(reader, name, argument);
        else if (name == "--parse-security")
            line.parseSecurity = ParseSwitch(reader, name, argument);
        else
            throw reader.Fail("unexpected argument " + argument);
    }
    return line;
}

struct CommandParser {
    Command command;
    const char* name;
    CommandLine (*parse)(ArgumentReader& reader);
};

const CommandParser kCommands[] = {
    {Command::List, "list", ParseList}, {Command::Get, "get", ParseGet},
    {Command::Put, "put", ParsePut},    {Command::Rm, "rm", ParseRm},
    {Command::Scan, "scan", ParseScan}, {Command::Config, "config", ParseConfig},
};

// --help among a command's options asks for its help, whatever else is given.
bool AsksForHelp(const std::vector<std::string>& arguments) {
    auto optionsEnd = std::find(arguments.begin(), arguments.end(), "--");
    return std::find(arguments.begin(), optionsEnd, "--help") != optionsEnd;
}

// The line of --help or --version, which take no arguments.
CommandLine Alone(Command command, const std::string& word,
                  const std::vector<std::string>& arguments) {
    if (!arguments.empty())
        throw UsageError(word + " takes no arguments", Command::Help);
    CommandLine line;
    line.command = command;
    return line;
}

}  // namespace

const char* CommandName(Command command) {
    for (const CommandParser& parser : kCommands) {
        if (parser.command == command)
            return parser.name;
    }
    return command == Command::Version ? "--version" : "--help";
}

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        throw UsageError("no command given", Command::Help);
    const std::string& word = arguments[0];
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (word == "--help" || word == "-h" || word == "help")
        return Alone(Command::Help, word, rest);
    if (word == "--version")
        return Alone(Command::Version, word, rest);
    const CommandParser* parser =
        std::find_if(std::begin(kCommands), std::end(kCommands),
                     [&](const CommandParser& p) { return word == p.name; });
    if (parser == std::end(kCommands))
        throw UsageError("unknown command '" + word + "'", Command::Help);
    if (AsksForHelp(rest)) {
        CommandLine line;
        line.helpTopic = parser->command;
        return line;
    }
    ArgumentReader reader(rest, parser->command);
    return parser->parse(reader);
}
