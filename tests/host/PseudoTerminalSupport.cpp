#include "tests/host/PseudoTerminalSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <stdexcept>

namespace {

constexpr int kTimeoutMilliseconds = 30000;

struct Descriptor {
    int fd;
    explicit Descriptor(int fd) : fd(fd) {
        if (fd < 0)
            throw std::runtime_error("pseudo-terminal");
    }
    ~Descriptor() { Close(); }
    void Close() {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
};

// The terminal's side of `master`, made not to echo what is typed nor to
// turn line feeds into CR LF, so what the program writes is what is read.
int OpenTerminal(int master) {
    if (grantpt(master) != 0 || unlockpt(master) != 0)
        return -1;
    int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    termios settings{};
    if (terminal >= 0 && tcgetattr(terminal, &settings) == 0) {
        settings.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        tcsetattr(terminal, TCSANOW, &settings);
    }
    return terminal;
}

[[noreturn]] void RunChild(const std::string& program, const std::vector<std::string>& arguments,
                           const ProgramOptions& options, const char* terminalName) {
    setsid();
    int terminal = open(terminalName, O_RDWR);
    if (terminal < 0)
        _exit(127);
    for (int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        dup2(terminal, stream);
    BecomeProgram(program, arguments, options);
}

// What the program shows until it closes the terminal; false on the timeout.
bool ReadShown(int master, std::string& shown) {
    for (;;) {
        pollfd watched = {master, POLLIN, 0};
        if (poll(&watched, 1, kTimeoutMilliseconds) <= 0)
            return false;
        char buffer[4096];
        ssize_t n = read(master, buffer, sizeof(buffer));
        // The terminal's last holder closed it: EIO.
        if (n <= 0)
            return true;
        shown.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace

TerminalRun RunOnTerminal(const std::string& program, const std::vector<std::string>& arguments,
                          const ProgramOptions& options) {
    Descriptor master(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    Descriptor terminal(OpenTerminal(master.fd));
    const std::string terminalName = ptsname(master.fd);
    pid_t child = fork();
    if (child < 0)
        throw std::runtime_error("fork");
    if (child == 0)
        RunChild(program, arguments, options, terminalName.c_str());
    // Typed ahead: the terminal keeps the lines until the program reads them.
    if (write(master.fd, options.input.data(), options.input.size()) !=
        static_cast<ssize_t>(options.input.size()))
        throw std::runtime_error("typing on the pseudo-terminal");
    terminal.Close();
    TerminalRun run;
    if (!ReadShown(master.fd, run.shown))
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
