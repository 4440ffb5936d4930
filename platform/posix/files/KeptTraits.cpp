#include "platform/posix/files/KeptTraits.h"

#include "platform/posix/core/ErrnoMapping.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace mvx {
namespace {

// The names of `path`'s attributes, NUL-separated; false with errno set.
bool AttributeNames(const std::string& path, std::vector<char>& names) {
    for (;;) {
        const ssize_t size = listxattr(path.c_str(), nullptr, 0);
        if (size < 0) return false;
        names.resize(static_cast<std::size_t>(size));
        const ssize_t got = listxattr(path.c_str(), names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
}

bool CopyAttribute(const std::string& from, const std::string& to, const char* name) {
    for (;;) {
        const ssize_t size = getxattr(from.c_str(), name, nullptr, 0);
        if (size < 0) return false;
        std::vector<char> value(static_cast<std::size_t>(size));
        const ssize_t got = getxattr(from.c_str(), name, value.data(), value.size());
        if (got >= 0)
            return setxattr(to.c_str(), name, value.data(), static_cast<std::size_t>(got), 0) == 0;
        if (errno != ERANGE) return false;
    }
}

bool IsStream(const char* name) { return std::strncmp(name, "user.", 5) == 0; }

}  // namespace

DWORD KeepTraits(const std::string& original, const std::string& replacement) {
    struct stat status;
    if (stat(original.c_str(), &status) != 0) return ErrorFromErrnoAt(errno, original);
    std::vector<char> names;
    if (!AttributeNames(original, names)) return ErrorFromErrnoAt(errno, original);
    for (std::size_t at = 0; at < names.size(); at += std::strlen(&names[at]) + 1) {
        const char* name = &names[at];
        if (!CopyAttribute(original, replacement, name) && IsStream(name))
            return ErrorFromErrnoAt(errno, replacement);
    }
    // Giving a file away is a privilege; without it, the copy stays the
    // copier's. The mode comes last, since a change of owner clears setuid.
    if (status.st_uid != geteuid() || status.st_gid != getegid())
        (void)!chown(replacement.c_str(), status.st_uid, status.st_gid);
    if (chmod(replacement.c_str(), status.st_mode & 07777) != 0)
        return ErrorFromErrnoAt(errno, replacement);
    return NO_ERROR;
}

}  // namespace mvx
