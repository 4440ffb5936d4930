// The command line of the morvex program: which command to run on what.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

enum class Command { Help, Version, List, Config, Rm, Get, Put, Scan };

struct CommandLine {
    Command command = Command::Help;
    // Help: the command whose help is asked for; Help for the program's.
    Command helpTopic = Command::Help;
    std::string file;  // the file whose streams are shown, copied, written or deleted
    bool json = false;
    bool humanReadable = false;  // list: sizes in units of 1024
    // rm, get: the items to delete or copy out (names as list shows them, or
    // #N; for get, none is every item). rm, get, put: whether the questions
    // are answered yes without being asked.
    std::vector<std::string> items;
    bool yes = false;
    // get: the directory the items are copied to; put: the files written in.
    std::string destination;
    std::vector<std::string> sources;
    // get --output: the one path the one item is copied to ("-": standard
    // output). put --as: the item name the one source is written in under.
    std::string output;
    std::string itemName;
    std::vector<std::string> directories;  // scan: the trees walked
    bool move = false;  // get, put: the originals are deleted once copied
    // config: the switches to set; those not given keep their state.
    std::optional<bool> usedByDefault;
    std::optional<bool> parseSecurity;
};

// A command line that cannot be run as given; the text says why, and
// Of() which command's usage to show.
class UsageError : public std::runtime_error {
public:
    UsageError(const std::string& reason, Command command)
        : std::runtime_error(reason), command(command) {}
    Command Of() const { return command; }

private:
    Command command;
};

// The word that names `command` on the command line ("--help" for Help).
const char* CommandName(Command command);

// `arguments` without the program's name. Throws UsageError.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
