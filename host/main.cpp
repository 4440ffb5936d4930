#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "host/MorvexProgram.h"
#include "host/messages/StandardOutput.h"

namespace {

// A standard stream the program was started without ("2>&-") would be the
// number of the next file it opens, and what it says there would be written
// into that file: the user's output, a stream, the settings. Each one missing
// is held by /dev/null, opened the other way round, so that reading or
// writing it still fails as it did.
void HoldMissingStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number, which is this one.
        if (open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY) != fd)
            _exit(2);
    }
}

}  // namespace

int main(int argc, char** argv) {
    HoldMissingStandardStreams();
    // The user's charset and the widths of its characters; numbers and the
    // rest keep the C locale's forms.
    std::setlocale(LC_CTYPE, "");
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const int status = RunMorvex(arguments, std::cin, std::cout, std::cerr,
                                 isatty(STDIN_FILENO) != 0, isatty(STDERR_FILENO) != 0);
    return CloseStandardOutput(status, std::cerr);
}
