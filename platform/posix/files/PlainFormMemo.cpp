#include "platform/posix/files/PlainFormMemo.h"

#include <mutex>

namespace mvx {
namespace {

struct Memo {
    bool held = false;
    dev_t device = 0;
    ino_t inode = 0;
    // With the birth time, a new file that takes a deleted one's inode
    // number is another file.
    ExactTime birthTime;
    ExactTime changeTime;
};

std::mutex memoLock;
Memo memo;

}  // namespace

bool IsRememberedPlain(const FileStatus& status) {
    std::lock_guard<std::mutex> hold(memoLock);
    return memo.held && memo.device == status.identity.device &&
           memo.inode == status.identity.inode && memo.birthTime == status.birthTime &&
           memo.changeTime == status.changeTime;
}

void RememberPlain(const std::string& path, const FileIdentity& identity) {
    FileStatus now;
    // Another file that took the name meanwhile is not the one found plain.
    const bool same = QueryPathStatus(path, now) && now.identity.device == identity.device &&
                      now.identity.inode == identity.inode;
    std::lock_guard<std::mutex> hold(memoLock);
    memo = Memo();
    if (same) memo = Memo{true, identity.device, identity.inode, now.birthTime, now.changeTime};
}

void ForgetPlain() {
    std::lock_guard<std::mutex> hold(memoLock);
    memo = Memo();
}

}  // namespace mvx
