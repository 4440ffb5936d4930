#include "bench/ToolRun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <stdexcept>

extern char** environ;

namespace {

std::vector<char*> ArgumentVector(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    return argv;
}

void CheckExit(const std::vector<std::string>& arguments, bool reaped, int status) {
    if (!reaped || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(arguments[0] + " failed");
}

// VmHWM of a process that still has its memory, in KiB; -1 when unknown.
long HighWaterKiB(pid_t process) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, 6, "VmHWM:") == 0)
            return std::stol(line.substr(6));
    return -1;
}

[[noreturn]] void ExecTraced(std::vector<char*>& argv) {
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0 || dup2(null, STDOUT_FILENO) < 0)
        _exit(127);
    if (ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
        _exit(127);
    execvp(argv[0], argv.data());
    _exit(127);
}

}  // namespace

void RunTool(const std::vector<std::string>& arguments) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv = ArgumentVector(arguments);
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    CheckExit(arguments, spawned == 0 && waitpid(child, &status, 0) == child, status);
}

long PeakMemoryKiB(const std::vector<std::string>& arguments) {
    std::vector<char*> argv = ArgumentVector(arguments);
    const pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("cannot start " + arguments[0]);
    if (child == 0)
        ExecTraced(argv);
    // The child stops once after its exec, then at its exit, where its memory
    // is still there to be read; other signals are passed on.
    long peak = -1;
    int status = 0;
    bool options = false;
    while (waitpid(child, &status, 0) == child && WIFSTOPPED(status)) {
        int signal = WSTOPSIG(status);
        if (!options) {
            options = ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACEEXIT) == 0;
            signal = 0;
        } else if (status >> 8 == (SIGTRAP | (PTRACE_EVENT_EXIT << 8))) {
            peak = HighWaterKiB(child);
            signal = 0;
        }
        ptrace(PTRACE_CONT, child, nullptr, signal);
    }
    CheckExit(arguments, WIFEXITED(status), status);
    if (peak < 0)
        throw std::runtime_error("cannot read the peak memory of " + arguments[0]);
    return peak;
}
