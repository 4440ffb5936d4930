// Runs a program of the build on a pseudo-terminal, as a user at a terminal
// does: its input, output and error stream are the terminal.
#pragma once

#include <string>
#include <vector>

#include "tests/host/ProgramRunSupport.h"

struct TerminalRun {
    int status = -1;    // the exit status, or -1 when it did not exit normally
    std::string shown;  // everything the program wrote to the terminal
};

// Runs `program` with `arguments` on a new terminal that does not echo, and
// types `options.input` on it before the program reads. A program still
// running after 30 seconds is killed.
TerminalRun RunOnTerminal(const std::string& program, const std::vector<std::string>& arguments,
                          const ProgramOptions& options);
