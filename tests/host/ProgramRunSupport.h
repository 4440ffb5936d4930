// Runs a program of the build as a user would, and keeps what it printed.
#pragma once

#include <string>
#include <vector>

struct ProgramRun {
    int status = -1;  // the exit status, or -1 when it did not exit normally
    std::string out;
    std::string err;
};

struct ProgramOptions {
    std::vector<std::string> environment;  // NAME=VALUE, added to this process's
    std::string input;                     // what the program reads
    std::string directory;                 // where it runs; empty: here
};

// In a child process: enters `options.directory`, adds `options.environment`
// and becomes `program` with `arguments`; exits with 127 where that fails.
[[noreturn]] void BecomeProgram(const std::string& program,
                                const std::vector<std::string>& arguments,
                                const ProgramOptions& options);

// Runs `program` with `arguments` and waits for it.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const ProgramOptions& options = {});

// How the Win32 layer names a Linux path: drive Z: is the root.
std::string WindowsName(const std::string& linuxPath);
