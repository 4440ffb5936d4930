#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "host/MorvexProgram.h"

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    return RunMorvex(arguments, std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) != 0);
}
