// What Windows reports about a file (attributes, times, size, identity),
// taken from statx.
#pragma once

#include "platform/posix/files/ShareAccess.h"
#include "platform/posix/Win32Types.h"

#include <string>

namespace mvx {

// A time as the file system keeps it, to the nanosecond where it can.
struct ExactTime {
    long long seconds = 0;
    unsigned nanoseconds = 0;

    bool operator==(const ExactTime& other) const {
        return seconds == other.seconds && nanoseconds == other.nanoseconds;
    }
    bool operator!=(const ExactTime& other) const { return !(*this == other); }
};

struct FileStatus {
    bool isDirectory = false;
    // A device, pipe or socket: neither a regular file nor a directory.
    bool isSpecial = false;
    // A symbolic link, as only QueryLinkStatus reports it.
    bool isLink = false;
    DWORD attributes = 0;
    FILETIME
        creationTime{};  // the birth time where the file system keeps one, else the change time
    FILETIME lastAccessTime{};
    FILETIME lastWriteTime{};
    // Every change of the file's data, status or extended attributes moves
    // its change time on, to the file system clock's tick.
    ExactTime changeTime;
    ExactTime birthTime;  // zero where the file system keeps none
    ULONGLONG size = 0;  // 0 for a directory or a special file, as Windows reports them
    FileIdentity identity;
    mode_t mode = 0;  // the permission bits
    nlink_t links = 1;
    uid_t owner = 0;
    gid_t group = 0;
};

// The status of the file `path` names, following symbolic links. False with
// errno set.
bool QueryPathStatus(const std::string& path, FileStatus& status);

// As QueryPathStatus, but a symbolic link whose target is missing is still
// an entry of its directory and reports itself.
bool QueryEntryStatus(const std::string& path, FileStatus& status);

// The status of the entry `path` names, a symbolic link reporting itself
// (isLink) rather than what it points to. False with errno set.
bool QueryLinkStatus(const std::string& path, FileStatus& status);

// The status of an open descriptor. False with errno set.
bool QueryDescriptorStatus(int fd, FileStatus& status);

}  // namespace mvx
