#include "host/CommandLine.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>

const char kUsageText[] =
    "usage:\n"
    "  morvex list FILE [--json]\n"
    "  morvex get FILE [ITEM ...] --to DIR [--move] [--yes]\n"
    "  morvex put FILE SOURCE ... [--move] [--yes]\n"
    "  morvex rm FILE ITEM ... [--yes]\n"
    "  morvex config [--used-by-default on|off] [--parse-security on|off]\n"
    "\n"
    "FILE, DIR and SOURCE are Linux paths or Windows names such as\n"
    "D:\\dir\\report.txt (drive Z: is /).\n"
    "list shows the streams of FILE: index, size, name and description.\n"
    "get copies streams of FILE to files in DIR, each named as list shows it;\n"
    "ITEM is such a name (every item of that name) or #N, the item with index N;\n"
    "without ITEM, every item. DIR is created when missing.\n"
    "put writes each SOURCE file into FILE as an alternate data stream named after\n"
    "it (a name as get gives it is read back).\n"
    "rm deletes alternate data streams of FILE; ITEM as for get.\n"
    "--move deletes what was copied from where it came. --yes answers the\n"
    "questions and shows no progress; a question that cannot be asked is\n"
    "answered no.\n"
    "config shows the two settings, or sets those given.\n"
    "Exit status: 0 done, 1 failed or cancelled, 2 usage error.\n";

namespace {

bool IsOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// The arguments of one command, taken one at a time.
class ArgumentReader {
public:
    ArgumentReader(const std::vector<std::string>& arguments, const std::string& command)
        : arguments(arguments), command(command) {}

    bool AtEnd() const { return next >= arguments.size(); }
    const std::string& Take() { return arguments[next++]; }

    // The value of option `name`, given as "--name VALUE" or "--name=VALUE".
    std::string ValueOf(const std::string& name, const std::string& argument) {
        if (argument.size() > name.size() && argument[name.size()] == '=')
            return argument.substr(name.size() + 1);
        if (AtEnd())
            throw Fail(name + " needs a value");
        return Take();
    }

    // Splits "--name=VALUE" to "--name".
    static std::string OptionName(const std::string& argument) {
        return argument.substr(0, argument.find('='));
    }

    UsageError Fail(const std::string& reason) const {
        return UsageError("morvex " + command + ": " + reason);
    }

private:
    const std::vector<std::string>& arguments;
    std::string command;
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
    std::vector<std::string> files = TakeOperands(reader, {{"--json", &line.json}});
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
    std::vector<std::string> operands = TakeOperands(
        reader, {{"--move", &line.move}, {"--yes", &line.yes}}, {{"--to", &line.destination}});
    TakeFileAndRest(reader, operands, nullptr, line, line.items);
    if (line.destination.empty())
        throw reader.Fail("needs --to DIR");
    return line;
}

CommandLine ParsePut(ArgumentReader& reader) {
    CommandLine line;
    line.command = Command::Put;
    TakeFileAndRest(reader, TakeOperands(reader, {{"--move", &line.move}, {"--yes", &line.yes}}),
                    "SOURCE", line, line.sources);
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

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        throw UsageError("morvex: no command given");
    const std::string& command = arguments[0];
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    ArgumentReader reader(rest, command);
    if (command == "--help" || command == "-h" || command == "help")
        return CommandLine();
    if (command == "list")
        return ParseList(reader);
    if (command == "config")
        return ParseConfig(reader);
    if (command == "rm")
        return ParseRm(reader);
    if (command == "get")
        return ParseGet(reader);
    if (command == "put")
        return ParsePut(reader);
    throw UsageError("morvex: unknown command '" + command + "'");
}
