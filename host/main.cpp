#include <unistd.h>

#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "host/MorvexProgram.h"
#include "host/messages/StandardOutput.h"

int main(int argc, char** argv) {
    // The user's charset and the widths of its characters; numbers and the
    // rest keep the C locale's forms.
    std::setlocale(LC_CTYPE, "");
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const int status = RunMorvex(arguments, std::cin, std::cout, std::cerr,
                                 isatty(STDIN_FILENO) != 0, isatty(STDERR_FILENO) != 0);
    return CloseStandardOutput(status, std::cerr);
}
