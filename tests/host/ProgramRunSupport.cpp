#include "tests/host/ProgramRunSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

struct Pipe {
    int ends[2] = {-1, -1};
    Pipe() {
        if (pipe2(ends, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe");
    }
    ~Pipe() {
        CloseEnd(0);
        CloseEnd(1);
    }
    void CloseEnd(int end) {
        if (ends[end] >= 0)
            close(ends[end]);
        ends[end] = -1;
    }
};

[[noreturn]] void RunChild(const std::string& program, const std::vector<std::string>& arguments,
                           const ProgramOptions& options, Pipe& in, Pipe& out, Pipe& err) {
    dup2(in.ends[0], STDIN_FILENO);
    dup2(out.ends[1], STDOUT_FILENO);
    dup2(err.ends[1], STDERR_FILENO);
    BecomeProgram(program, arguments, options);
}

// Feeds the input and collects both outputs at once, so that neither side
// blocks on a full pipe.
void Exchange(const std::string& input, Pipe& in, Pipe& out, Pipe& err, ProgramRun& run) {
    size_t written = 0;
    if (input.empty())
        in.CloseEnd(1);
    while (out.ends[0] >= 0 || err.ends[0] >= 0) {
        pollfd watched[3] = {{out.ends[0], POLLIN, 0}, {err.ends[0], POLLIN, 0},
                             {in.ends[1], POLLOUT, 0}};
        if (poll(watched, 3, -1) < 0)
            throw std::runtime_error("poll");
        if (watched[2].revents != 0) {
            ssize_t n = write(in.ends[1], input.data() + written, input.size() - written);
            written += n > 0 ? static_cast<size_t>(n) : 0;
            if (n <= 0 || written == input.size())
                in.CloseEnd(1);
        }
        Pipe* outputs[2] = {&out, &err};
        std::string* texts[2] = {&run.out, &run.err};
        for (int i = 0; i < 2; ++i) {
            if (watched[i].revents == 0)
                continue;
            char buffer[4096];
            ssize_t n = read(outputs[i]->ends[0], buffer, sizeof(buffer));
            if (n > 0)
                texts[i]->append(buffer, static_cast<size_t>(n));
            else
                outputs[i]->CloseEnd(0);
        }
    }
}

}  // namespace

void BecomeProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const ProgramOptions& options) {
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0)
        _exit(127);
    for (const std::string& setting : options.environment)
        putenv(const_cast<char*>(setting.c_str()));
    // The test ignores SIGPIPE (below), and an ignored signal stays ignored
    // across exec: the program starts as a shell would start it.
    std::signal(SIGPIPE, SIG_DFL);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
}

namespace {

// Ignores SIGPIPE for its lifetime.
class SigpipeIgnored {
public:
    SigpipeIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGPIPE, &ignore, &previous);
    }
    ~SigpipeIgnored() { sigaction(SIGPIPE, &previous, nullptr); }
    SigpipeIgnored(const SigpipeIgnored&) = delete;
    SigpipeIgnored& operator=(const SigpipeIgnored&) = delete;

private:
    struct sigaction previous {};
};

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const ProgramOptions& options) {
    // A program that ends without reading its input must not end the test;
    // the tests after this one, and the programs they fork, find SIGPIPE as
    // it was.
    const SigpipeIgnored ignored;
    Pipe in, out, err;
    pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("fork");
    if (child == 0)
        RunChild(program, arguments, options, in, out, err);
    in.CloseEnd(0);
    out.CloseEnd(1);
    err.CloseEnd(1);
    ProgramRun run;
    Exchange(options.input, in, out, err, run);
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string WindowsName(const std::string& linuxPath) {
    std::string name = "Z:" + linuxPath;
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}
