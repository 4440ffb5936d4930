#include "host/module/BuildLocation.h"

#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace {

std::string ReadProgramDirectory() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0)
        return std::string();
    std::string program(path, static_cast<size_t>(length));
    return program.substr(0, program.rfind('/'));
}

// Read once: every lookup of a build file asks for it.
const std::string& ProgramDirectory() {
    static const std::string directory = ReadProgramDirectory();
    return directory;
}

}  // namespace

std::vector<std::string> BuildDirectories() {
    std::vector<std::string> directories;
    if (const char* build = std::getenv("MORVEX_BUILD"); build != nullptr && *build != 0)
        directories.push_back(build);
    const std::string& program = ProgramDirectory();
    if (!program.empty()) {
        directories.push_back(program);
        directories.push_back(program + "/..");
        // Where `make install` puts them beside PREFIX/bin: the module in
        // lib/morvex, the message texts in share/morvex.
        directories.push_back(program + "/../lib/morvex");
        directories.push_back(program + "/../share/morvex");
    }
    return directories;
}

std::string FindBuildFile(const std::string& relativePath) {
    std::string tried;
    for (const std::string& directory : BuildDirectories()) {
        std::string candidate = directory + "/" + relativePath;
        if (access(candidate.c_str(), R_OK) == 0)
            return candidate;
        tried += " " + candidate;
    }
    throw std::runtime_error("cannot find " + relativePath + "; tried" + tried);
}
