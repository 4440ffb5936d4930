#include "platform/posix/files/StreamPaths.h"

#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/LayerErrors.h"
#include "platform/posix/files/LinuxPathName.h"

#include <cerrno>
#include <climits>
#include <sys/xattr.h>
#include <unistd.h>

namespace mvx {
namespace {

const char kStreamList[] = "ntfs.streams.list";

// The names, each followed by a NUL but the last.
std::vector<std::string> SplitNames(const std::string& list) {
    std::vector<std::string> names;
    std::string::size_type start = 0;
    while (start < list.size()) {
        std::string::size_type end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// The canonical path of a file that may not exist yet: its directory's, then
// its own name.
bool CanonicalFilePath(const std::string& path, std::string& canonical) {
    if (CanonicalLinuxPath(path, canonical)) return true;
    if (errno != ENOENT) return false;
    const std::string::size_type slash = path.find_last_of('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty() || !CanonicalLinuxPath(directory, canonical)) return false;
    canonical += (canonical == "/" ? "" : "/") + name;
    return true;
}

DWORD JoinStream(const std::string& file, const std::string& stream, std::string& streamPath) {
    if (stream.empty()) return ERROR_INVALID_NAME;
    if (stream.find('/') != std::string::npos) return kErrorStreamNameHasNoPath;
    streamPath = file + ":" + stream;
    return NO_ERROR;
}

}  // namespace

bool ListPathStreams(const AttributeFile& file, std::vector<std::string>& names, DWORD& error) {
    bool present = false;
    std::string list;
    error = ReadAttribute(file, kStreamList, present, list);
    if (error == NO_ERROR && !present) return false;
    names = SplitNames(list);
    return true;
}

bool HasPathStreams(const std::string& path) {
    if (getxattr(path.c_str(), kStreamList, nullptr, 0) >= 0) return true;
    if (errno != ENOENT) return false;
    std::string canonical;
    if (!CanonicalFilePath(path, canonical)) return false;
    const std::string directory = canonical.substr(0, canonical.find_last_of('/') + 1);
    return getxattr(directory.c_str(), kStreamList, nullptr, 0) >= 0;
}

DWORD StreamPathOf(const std::string& path, const std::string& stream, std::string& streamPath) {
    std::string canonical;
    if (!CanonicalFilePath(path, canonical)) return ErrorFromErrnoAt(errno, path);
    return JoinStream(canonical, stream, streamPath);
}

DWORD StreamPathOfDescriptor(int fd, const std::string& stream, std::string& streamPath) {
    char target[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t size = readlink(link.c_str(), target, sizeof target);
    if (size < 0) return ErrorFromErrno(errno);
    if (static_cast<size_t>(size) >= sizeof target) return ERROR_FILENAME_EXCED_RANGE;
    return JoinStream(std::string(target, static_cast<size_t>(size)), stream, streamPath);
}

}  // namespace mvx
