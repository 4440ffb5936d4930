// The share modes of this process's open handles, per file (device and inode)
// and stream, checked as Windows checks them when a handle is opened.
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>
#include <sys/types.h>

namespace mvx {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    std::string stream;  // empty for the file's own data
};

// One handle's part in the sharing of a file, released when it goes away.
class ShareClaim {
public:
    ShareClaim() = default;
    ~ShareClaim();
    ShareClaim(const ShareClaim&) = delete;
    ShareClaim& operator=(const ShareClaim&) = delete;

    // Joins the handles open on `file` with `specificAccess` and `shareMode`;
    // false with ERROR_SHARING_VIOLATION when that conflicts with one of them.
    // An open that neither reads, writes nor deletes takes no part.
    bool Acquire(const FileIdentity& file, DWORD specificAccess, DWORD shareMode);

private:
    FileIdentity file_;
    bool reads_ = false, writes_ = false, deletes_ = false;
    DWORD shareMode_ = 0;
    bool held_ = false;
};

}  // namespace mvx
