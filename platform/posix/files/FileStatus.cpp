#include "platform/posix/files/FileStatus.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace mvx {
namespace {

constexpr unsigned kWantedFields = STATX_BASIC_STATS | STATX_BTIME;

// FILETIME counts 100 ns ticks since 1601-01-01.
constexpr long long kSecondsFrom1601To1970 = 11644473600LL;
constexpr long long kTicksPerSecond = 10000000LL;

FILETIME FileTimeOf(const struct statx_timestamp& time) {
    long long seconds = time.tv_sec + kSecondsFrom1601To1970;
    unsigned long long ticks =
        seconds < 0
            ? 0
            : static_cast<unsigned long long>(seconds) * kTicksPerSecond + time.tv_nsec / 100;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

ExactTime ExactTimeOf(const struct statx_timestamp& time) {
    return ExactTime{time.tv_sec, time.tv_nsec};
}

DWORD AttributesOf(const struct statx& info) {
    DWORD attributes = S_ISDIR(info.stx_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!(info.stx_mode & S_IWUSR)) attributes |= FILE_ATTRIBUTE_READONLY;
    return attributes;
}

FileStatus StatusOf(const struct statx& info) {
    FileStatus status;
    status.isDirectory = S_ISDIR(info.stx_mode);
    status.isSpecial = !status.isDirectory && !S_ISREG(info.stx_mode);
    status.isLink = S_ISLNK(info.stx_mode);
    status.attributes = AttributesOf(info);
    status.creationTime =
        FileTimeOf((info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_ctime);
    status.lastAccessTime = FileTimeOf(info.stx_atime);
    status.lastWriteTime = FileTimeOf(info.stx_mtime);
    status.changeTime = ExactTimeOf(info.stx_ctime);
    if (info.stx_mask & STATX_BTIME) status.birthTime = ExactTimeOf(info.stx_btime);
    status.size = S_ISREG(info.stx_mode) ? info.stx_size : 0;
    status.identity.device = makedev(info.stx_dev_major, info.stx_dev_minor);
    status.identity.inode = info.stx_ino;
    status.mode = info.stx_mode & 07777;
    status.links = info.stx_nlink;
    status.owner = info.stx_uid;
    status.group = info.stx_gid;
    return status;
}

bool Query(int directory, const char* path, int flags, FileStatus& status) {
    struct statx info;
    if (statx(directory, path, flags, kWantedFields, &info) != 0) return false;
    status = StatusOf(info);
    return true;
}

}  // namespace

bool QueryPathStatus(const std::string& path, FileStatus& status) {
    return Query(AT_FDCWD, path.c_str(), 0, status);
}

bool QueryEntryStatus(const std::string& path, FileStatus& status) {
    if (QueryPathStatus(path, status)) return true;
    const int err = errno;
    if (err == ENOENT && Query(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, status)) return true;
    errno = err;
    return false;
}

bool QueryLinkStatus(const std::string& path, FileStatus& status) {
    return Query(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, status);
}

bool QueryDescriptorStatus(int fd, FileStatus& status) {
    return Query(fd, "", AT_EMPTY_PATH, status);
}

}  // namespace mvx
