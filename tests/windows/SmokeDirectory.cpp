#include "tests/windows/SmokeDirectory.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

constexpr int kAttempts = 100;

void RemoveTree(const std::string& directory) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = directory + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(directory.c_str());
}

}  // namespace

SmokeDirectory::SmokeDirectory() {
    char temp[MAX_PATH];
    DWORD length = GetTempPathA(sizeof(temp), temp);
    if (length == 0 || length >= sizeof(temp))
        throw std::runtime_error("no temporary directory");
    // A run that crashed leaves its directory behind, under a number that a
    // later process may get again.
    const std::string stem = std::string(temp, length) + "morvex-smoke-" +
                             std::to_string(GetCurrentProcessId()) + "-";
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        path = stem + std::to_string(attempt);
        if (CreateDirectoryA(path.c_str(), nullptr))
            return;
    }
    throw std::runtime_error("cannot create a directory named " + stem + "N");
}

SmokeDirectory::~SmokeDirectory() {
    RemoveTree(path);
}

std::string SmokeDirectory::PathOf(const std::string& relative) const {
    return path + "\\" + relative;
}

std::string SmokeDirectory::AddFile(const std::string& relative,
                                    const std::string& contents) const {
    const std::string name = PathOf(relative);
    std::ofstream out(name, std::ios::binary);
    out << contents;
    if (!out.flush())
        throw std::runtime_error("cannot write " + name);
    return name;
}

std::string SmokeDirectory::Contents(const std::string& relative) const {
    std::ifstream in(PathOf(relative), std::ios::binary);
    if (!in)
        return "<missing>";
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}
