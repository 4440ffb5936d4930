// The command line of the morvex program: which command to run on what.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

enum class Command { Help, List, Config, Rm, Get, Put };

struct CommandLine {
    Command command = Command::Help;
    std::string file;  // the file whose streams are shown, copied, written or deleted
    bool json = false;
    // rm, get: the items to delete or copy out (names as list shows them, or
    // #N; for get, none is every item). rm, get, put: whether the questions
    // are answered yes without being asked.
    std::vector<std::string> items;
    bool yes = false;
    // get: the directory the items are copied to; put: the files written in.
    std::string destination;
    std::vector<std::string> sources;
    bool move = false;  // get, put: the originals are deleted once copied
    // config: the switches to set; those not given keep their state.
    std::optional<bool> usedByDefault;
    std::optional<bool> parseSecurity;
};

// A command line that cannot be run as given; the text says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// `arguments` without the program's name. Throws UsageError.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// What the program accepts, for --help and after a usage error.
extern const char kUsageText[];
