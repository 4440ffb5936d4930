#include "TempDirectorySupport.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string TemporaryRoot() {
    const char* root = std::getenv("TMPDIR");
    return root && *root ? root : "/tmp";
}

// Large files and 64-bit inodes need the 64-bit calls in an i386 process.
void RemoveTree(const std::string& path) {
    struct stat64 status;
    if (lstat64(path.c_str(), &status) != 0) return;
    if (!S_ISDIR(status.st_mode)) {
        unlink(path.c_str());
        return;
    }
    chmod(path.c_str(), 0700);
    if (DIR* directory = opendir(path.c_str())) {
        while (const struct dirent64* entry = readdir64(directory)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") RemoveTree(path + "/" + name);
        }
        closedir(directory);
    }
    rmdir(path.c_str());
}

}  // namespace

TempDirectory::TempDirectory() : TempDirectory(TemporaryRoot()) {}

TempDirectory::TempDirectory(const std::string& parent) {
    std::string pattern = parent + "/morvex-test-XXXXXX";
    if (!mkdtemp(&pattern[0]))
        throw std::runtime_error("mkdtemp " + pattern + ": " + std::strerror(errno));
    path_ = pattern;
}

TempDirectory::~TempDirectory() { RemoveTree(path_); }

std::string TempDirectory::PathOf(const std::string& relative) const {
    return path_ + "/" + relative;
}

std::string TempDirectory::AddFile(const std::string& relative, const std::string& contents) const {
    const std::string path = PathOf(relative);
    std::ofstream file(path, std::ios::binary);
    file << contents;
    if (!file.flush()) throw std::runtime_error("cannot write " + path);
    return path;
}

std::string TempDirectory::AddDirectory(const std::string& relative) const {
    const std::string path = PathOf(relative);
    if (mkdir(path.c_str(), 0755) != 0)
        throw std::runtime_error("mkdir " + path + ": " + std::strerror(errno));
    return path;
}

std::string TempDirectory::Contents(const std::string& relative) const {
    std::ifstream file(PathOf(relative), std::ios::binary);
    if (!file) return "<missing>";
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

bool TempDirectory::Exists(const std::string& relative) const {
    struct stat64 status;
    return lstat64(PathOf(relative).c_str(), &status) == 0;
}
