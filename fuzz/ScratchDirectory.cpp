#include "fuzz/ScratchDirectory.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

std::string TemporaryRoot() {
    struct stat status;
    if (stat("/dev/shm", &status) == 0 && S_ISDIR(status.st_mode) && access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp";
}

}  // namespace

ScratchDirectory::ScratchDirectory() {
    std::string pattern = TemporaryRoot() + "/morvex-fuzz.XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr)
        throw std::runtime_error("cannot make a scratch directory in " + TemporaryRoot());
    path = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void ScratchDirectory::Write(const std::string& leaf, const std::string& contents) const {
    std::ofstream file(PathOf(leaf), std::ios::binary | std::ios::trunc);
    file << contents;
    if (!file.flush())
        throw std::runtime_error("cannot write " + PathOf(leaf));
}

bool ScratchDirectory::Read(const std::string& leaf, std::string& contents) const {
    std::ifstream file(PathOf(leaf), std::ios::binary);
    if (!file)
        return false;
    std::ostringstream text;
    text << file.rdbuf();
    contents = text.str();
    return true;
}

void ScratchDirectory::Remove(const std::string& leaf) const {
    unlink(PathOf(leaf).c_str());
}
