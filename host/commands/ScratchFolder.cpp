#include "host/commands/ScratchFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& parent) {
    std::string pattern = (parent.empty() ? std::string(".") : parent) + "/.morvex-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr)
        failure = std::strerror(errno);
    else
        path = pattern;
}

ScratchFolder::~ScratchFolder() {
    if (path.empty())
        return;
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

std::vector<std::string> ScratchFolder::Entries() const {
    std::vector<std::string> entries;
    std::error_code error;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path().string());
    return entries;
}

std::string ScratchFolder::TemporaryRoot() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
}
