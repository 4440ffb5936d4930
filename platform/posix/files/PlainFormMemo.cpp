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

bool IsRememberedPlain(const FileStatus& status) {
    std::lock_guard<std::mutex> hold(memoLock);
    return memo.held && memo.device == status.identity.device &&
           memo.inode == status.identity.inode && memo.birthTime == status.birthTime &&
           memo.changeTime == status.changeTime;
}

void Remember(bool plain, const FileStatus& status) {
    std::lock_guard<std::mutex> hold(memoLock);
    memo = Memo();
    if (plain)
        memo = Memo{true, status.identity.device, status.identity.inode, status.birthTime,
                    status.changeTime};
}

}  // namespace

DWORD LocateRememberedStream(const AttributeFile& file, const FileStatus& before,
                             const std::string& name, StreamAttribute& where) {
    if (IsRememberedPlain(before)) return LocatePlainAttributeStream(name, where);
    const DWORD error = LocateAttributeStream(file, name, where);
    Remember(error == NO_ERROR && InPlainForm(where), before);
    return error;
}

void RememberAfterChange(const std::string& path, const FileIdentity& identity,
                         const StreamAttribute& where) {
    FileStatus now;
    // Another file that took the name meanwhile is not the one found plain.
    const bool same = QueryPathStatus(path, now) && now.identity.device == identity.device &&
                      now.identity.inode == identity.inode;
    Remember(same && InPlainForm(where), now);
}

}  // namespace mvx
