#include "host/destinations/PinnedFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

#include "host/text/Utf8Text.h"
#include "platform/win32.h"

namespace {

// A drive letter and its colon, which no Linux path the user means as one
// begins with, or a backslash, which the plug-in reads as a separator.
bool IsWindowsName(const std::string& name) {
    const bool drive =
        name.size() >= 2 && std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':';
    return drive || name.find('\\') != std::string::npos;
}

// Opens the folder `path` names, making each missing folder on the way as
// `mkdir -p` does; a folder made here is opened without following a link, so
// what is held is the folder made. The descriptor, or -1.
int OpenMakingMissing(const std::string& path) {
    const int existing = open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (existing >= 0 || path.empty())
        return existing;
    int folder = open(path[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    for (size_t start = 0; folder >= 0 && start < path.size();) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty())
            continue;
        const bool made = mkdirat(folder, part.c_str(), 0777) == 0;
        const int next = made || errno == EEXIST
                             ? openat(folder, part.c_str(),
                                      O_PATH | O_DIRECTORY | O_CLOEXEC | (made ? O_NOFOLLOW : 0))
                             : -1;
        close(folder);
        folder = next;
    }
    return folder;
}

}  // namespace

std::string LinuxFolderName(const std::string& name) {
    std::string systemName;
    if (!IsWindowsName(name) || !FromUtf8(name, CP_ACP, systemName))
        return name;
    const DWORD size = GetFullPathNameA(systemName.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return name;
    std::string full(size, '\0');
    const DWORD length = GetFullPathNameA(systemName.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return name;
    full.resize(length);
    if (full.size() < 3 || (full[0] != 'Z' && full[0] != 'z') || full[1] != ':' ||
        full[2] != '\\')
        return name;
    std::string linuxPath = ToUtf8(full.c_str() + 2, CP_ACP);
    for (char& c : linuxPath)
        if (c == '\\')
            c = '/';
    return linuxPath;
}

PinnedFolder::PinnedFolder(const std::string& folder)
    : fd(open(LinuxFolderName(folder).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)), name(folder) {
    if (fd >= 0)
        name = "/proc/self/fd/" + std::to_string(fd);
}

PinnedFolder::PinnedFolder(const std::string& folder, Making)
    : fd(OpenMakingMissing(LinuxFolderName(folder))), name(folder) {
    if (fd >= 0)
        name = "/proc/self/fd/" + std::to_string(fd);
}

PinnedFolder::~PinnedFolder() {
    if (fd >= 0)
        close(fd);
}
