#include "platform/posix/backup/BackupControl.h"

#include "platform/posix/files/LinuxPathName.h"

#include <map>
#include <mutex>
#include <utility>

namespace mvx {
namespace {

// Paths rather than inode numbers: a file system hands the number of a
// deleted file to the next new one, and a substitution left behind by one
// test must not reach the files of the next.
struct Substitutes {
    std::mutex lock;
    std::map<std::string, std::string> bytes;  // by canonical path
};

Substitutes& Table() {
    static Substitutes table;
    return table;
}

}  // namespace

bool SetBackupBytes(const std::string& posixPath, std::string bytes) {
    std::string path;
    if (!CanonicalLinuxPath(posixPath, path)) return false;
    Substitutes& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.bytes[path] = std::move(bytes);
    return true;
}

void ClearBackupBytes() {
    Substitutes& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.bytes.clear();
}

bool FindBackupBytes(const std::string& path, std::string& bytes) {
    Substitutes& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    // Outside the tests nothing is substituted: resolving the path would cost
    // a look at every folder on it for each file whose streams are read.
    if (table.bytes.empty()) return false;
    std::string canonical;
    if (!CanonicalLinuxPath(path, canonical)) return false;
    auto found = table.bytes.find(canonical);
    if (found == table.bytes.end()) return false;
    bytes = found->second;
    return true;
}

}  // namespace mvx
