// The morvex command line: arguments are the input split at NUL bytes. A
// parse either refuses with a UsageError that names a command, or gives a
// CommandLine whose every name was typed: the file, the items, the
// destination, the sources and the trees are each an argument or the value
// part of an "--option=VALUE" argument, never made up.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "host/commandline/CommandLine.h"

namespace {

// Enough for every command's options and a few operands past them.
const size_t kMaxArguments = 16;

std::vector<std::string> ArgumentsOf(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments;
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start < text.size() && arguments.size() < kMaxArguments) {
        const size_t end = std::min(text.find('\0', start), text.size());
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return arguments;
}

bool WasTyped(const std::string& value, const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument == value)
            return true;
        const size_t equals = argument.find('=');
        if (argument.rfind("--", 0) == 0 && equals != std::string::npos &&
            argument.compare(equals + 1, std::string::npos, value) == 0)
            return true;
    }
    return false;
}

void CheckAllTyped(const std::vector<std::string>& values,
                   const std::vector<std::string>& arguments) {
    for (const std::string& value : values)
        FUZZ_CHECK(WasTyped(value, arguments));
}

bool IsCommand(Command command) {
    return command >= Command::Help && command <= Command::Scan;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> arguments = ArgumentsOf(data, size);
    CommandLine line;
    try {
        line = ParseCommandLine(arguments);
    } catch (const UsageError& error) {
        FUZZ_CHECK(IsCommand(error.Of()));
        FUZZ_CHECK(error.what()[0] != '\0');
        return 0;
    }
    FUZZ_CHECK(IsCommand(line.command) && IsCommand(line.helpTopic));
    if (!line.file.empty())
        FUZZ_CHECK(WasTyped(line.file, arguments));
    if (!line.destination.empty())
        FUZZ_CHECK(WasTyped(line.destination, arguments));
    CheckAllTyped(line.items, arguments);
    CheckAllTyped(line.sources, arguments);
    CheckAllTyped(line.directories, arguments);
    // A command is run only when its word comes first, and one that works on
    // a file must have been given one.
    if (line.command != Command::Help && line.command != Command::Version)
        FUZZ_CHECK(!arguments.empty() && arguments[0] == CommandName(line.command));
    const bool takesFile = line.command == Command::List || line.command == Command::Rm ||
                           line.command == Command::Get || line.command == Command::Put;
    if (takesFile)
        FUZZ_CHECK(!line.file.empty() || WasTyped("", arguments));
    return 0;
}
