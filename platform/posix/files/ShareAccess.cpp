#include "platform/posix/files/ShareAccess.h"

#include "platform/posix/files/FileAccess.h"
#include "platform/posix/Win32Functions.h"

#include <map>
#include <mutex>
#include <tuple>

namespace mvx {
namespace {

// What the open handles of one file do and let others do.
struct ShareCounts {
    unsigned opens = 0;
    unsigned readers = 0, writers = 0, deleters = 0;
    unsigned sharedRead = 0, sharedWrite = 0, sharedDelete = 0;
};

struct IdentityOrder {
    bool operator()(const FileIdentity& a, const FileIdentity& b) const {
        return std::tie(a.device, a.inode, a.stream) < std::tie(b.device, b.inode, b.stream);
    }
};

class ShareTable {
public:
    bool Add(const FileIdentity& file, bool reads, bool writes, bool deletes, DWORD share) {
        std::lock_guard<std::mutex> guard(lock_);
        ShareCounts& counts = files_[file];
        if (Conflicts(counts, reads, writes, deletes, share)) {
            if (counts.opens == 0) files_.erase(file);
            return false;
        }
        Count(counts, reads, writes, deletes, share, 1);
        return true;
    }

    void Remove(const FileIdentity& file, bool reads, bool writes, bool deletes, DWORD share) {
        std::lock_guard<std::mutex> guard(lock_);
        auto found = files_.find(file);
        if (found == files_.end()) return;
        Count(found->second, reads, writes, deletes, share, -1);
        if (found->second.opens == 0) files_.erase(found);
    }

private:
    // A new open must allow what every open handle does, and every open
    // handle must allow what the new one wants to do.
    static bool Conflicts(const ShareCounts& c, bool reads, bool writes, bool deletes,
                          DWORD share) {
        return (reads && c.sharedRead < c.opens) || (writes && c.sharedWrite < c.opens) ||
               (deletes && c.sharedDelete < c.opens) || (c.readers && !(share & FILE_SHARE_READ)) ||
               (c.writers && !(share & FILE_SHARE_WRITE)) ||
               (c.deleters && !(share & FILE_SHARE_DELETE));
    }

    static void Count(ShareCounts& c, bool reads, bool writes, bool deletes, DWORD share,
                      int step) {
        c.opens += step;
        c.readers += reads ? step : 0;
        c.writers += writes ? step : 0;
        c.deleters += deletes ? step : 0;
        c.sharedRead += (share & FILE_SHARE_READ) ? step : 0;
        c.sharedWrite += (share & FILE_SHARE_WRITE) ? step : 0;
        c.sharedDelete += (share & FILE_SHARE_DELETE) ? step : 0;
    }

    std::mutex lock_;
    std::map<FileIdentity, ShareCounts, IdentityOrder> files_;
};

ShareTable& Shares() {
    static ShareTable table;
    return table;
}

}  // namespace

bool ShareClaim::Acquire(const FileIdentity& file, DWORD specificAccess, DWORD shareMode) {
    reads_ = (specificAccess & (kFileReadData | kFileExecute)) != 0;
    writes_ = WritesData(specificAccess);
    deletes_ = (specificAccess & DELETE) != 0;
    if (!reads_ && !writes_ && !deletes_) return true;
    if (!Shares().Add(file, reads_, writes_, deletes_, shareMode)) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return false;
    }
    file_ = file;
    shareMode_ = shareMode;
    held_ = true;
    return true;
}

ShareClaim::~ShareClaim() {
    if (held_) Shares().Remove(file_, reads_, writes_, deletes_, shareMode_);
}

}  // namespace mvx
