// What the morvex program says of itself: the texts of --help, COMMAND --help
// and --version, and the usage line shown after a usage error.
#pragma once

#include <string>

#include "host/commandline/CommandLine.h"

// The help of `command`: usage, what it does, its options and an example.
// Command::Help gives the program's.
std::string HelpText(Command command);

// The usage of `command` in one line ("morvex list [--json] ... FILE"); the
// program's for Command::Help.
const char* Synopsis(Command command);

// "morvex VERSION", with the version the build gave the program, and a line end.
const char* VersionText();
