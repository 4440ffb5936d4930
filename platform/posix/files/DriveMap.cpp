#include "platform/posix/files/DriveMap.h"

#include "platform/posix/files/LinuxPathName.h"
#include "platform/posix/files/WindowsPath.h"

#include <cctype>
#include <cerrno>
#include <map>
#include <mutex>
#include <unistd.h>

namespace mvx {
namespace {

char DriveLetter(char letter) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
}

bool IsDriveLetter(char letter) { return letter >= 'A' && letter <= 'Z'; }

std::string DriveRootPath(char letter) { return std::string(1, letter) + ":\\"; }

std::string WorkingDirectory() {
    std::string buffer(256, '\0');
    while (getcwd(&buffer[0], buffer.size()) == nullptr) {
        if (errno != ERANGE) return "/";
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

// The Linux working directory seen through Z:.
std::string WorkingDirectoryOnZ() {
    std::string path = "Z:" + WorkingDirectory();
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// Drive roots are absolute and keep no trailing slash, so a path below one is
// root + "/" + rest.
std::string DriveRootDirectory(std::string directory) {
    if (!directory.empty() && directory[0] != '/') directory = WorkingDirectory() + "/" + directory;
    while (!directory.empty() && directory.back() == '/') directory.pop_back();
    return directory;
}

class DriveTable {
public:
    DriveTable() { Reset(); }

    void Reset() {
        std::lock_guard<std::mutex> guard(lock_);
        roots_.clear();
        roots_['Z'] = "";
        directories_.clear();
        current_ = 'Z';
        directories_['Z'] = WorkingDirectoryOnZ();
    }

    void Map(char letter, const std::string& directory) {
        std::lock_guard<std::mutex> guard(lock_);
        roots_[letter] = directory;
    }

    void Unmap(char letter) {
        std::lock_guard<std::mutex> guard(lock_);
        roots_.erase(letter);
    }

    bool Root(char letter, std::string& root) {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = roots_.find(letter);
        if (found == roots_.end()) return false;
        root = found->second;
        return true;
    }

    void SetDirectory(char letter, const std::string& fullPath, bool makeCurrent) {
        std::lock_guard<std::mutex> guard(lock_);
        directories_[letter] = fullPath;
        if (makeCurrent) current_ = letter;
    }

    std::string Current() {
        std::lock_guard<std::mutex> guard(lock_);
        return directories_[current_];
    }

    std::string Directory(char letter) {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = directories_.find(letter);
        return found == directories_.end() ? DriveRootPath(letter) : found->second;
    }

private:
    std::mutex lock_;
    std::map<char, std::string> roots_;
    std::map<char, std::string> directories_;
    char current_ = 'Z';
};

DriveTable& Drives() {
    static DriveTable table;
    return table;
}

// Only a full path on a drive can be a current directory. It keeps no
// trailing backslash but at a drive root, as Windows reports it.
bool DriveFullPath(const std::string& windowsPath, std::string& full) {
    if (!MakeUserFullPath(windowsPath, full)) return false;
    if (full.size() > 3 && full.back() == '\\') full.pop_back();
    return ClassifyPath(full) == PathKind::DriveAbsolute && IsDriveLetter(full[0]);
}

}  // namespace

void MapDrive(char letter, const std::string& directory) {
    letter = DriveLetter(letter);
    if (IsDriveLetter(letter)) Drives().Map(letter, DriveRootDirectory(directory));
}

void UnmapDrive(char letter) { Drives().Unmap(DriveLetter(letter)); }

void SetCurrentDirectory(const std::string& windowsPath) {
    std::string full;
    if (DriveFullPath(windowsPath, full)) Drives().SetDirectory(full[0], full, true);
}

void SetDriveDirectory(char letter, const std::string& windowsPath) {
    std::string full;
    letter = DriveLetter(letter);
    if (DriveFullPath(windowsPath, full) && full[0] == letter)
        Drives().SetDirectory(letter, full, false);
}

void ResetDriveMap() { Drives().Reset(); }

bool DriveRoot(char letter, std::string& root) { return Drives().Root(DriveLetter(letter), root); }

std::string CurrentDirectory() { return Drives().Current(); }

std::string DriveDirectory(char letter) { return Drives().Directory(DriveLetter(letter)); }

}  // namespace mvx
