#include "platform/posix/backup/BackupControl.h"

#include "platform/posix/files/LinuxPathName.h"

#include <map>
#include <utility>

namespace mvx {
namespace {

// Paths rather than inode numbers: a file system hands the number of a
// deleted file to the next new one, and a substitution left behind by one
// test must not reach the files of the next.
struct Substitutes {
    std::mutex lock;
    std::map<std::string, std::shared_ptr<BackupFeed>> byCanonical;
    // The same feeds by the paths they were set through, so that setting a
    // file's bytes again costs no lookup of every folder on its path.
    std::map<std::string, std::shared_ptr<BackupFeed>> bySpelling;
};

Substitutes& Table() {
    static Substitutes table;
    return table;
}

std::shared_ptr<BackupFeed> FeedFor(Substitutes& table, const std::string& posixPath) {
    auto spelt = table.bySpelling.find(posixPath);
    if (spelt != table.bySpelling.end()) return spelt->second;
    std::string path;
    if (!CanonicalLinuxPath(posixPath, path)) return nullptr;
    std::shared_ptr<BackupFeed>& feed = table.byCanonical[path];
    if (!feed) feed = std::make_shared<BackupFeed>();
    table.bySpelling.emplace(posixPath, feed);
    return feed;
}

}  // namespace

std::shared_ptr<const std::string> BackupFeed::Bytes(unsigned long long& generation) const {
    std::lock_guard<std::mutex> guard(lock_);
    generation = generation_;
    return bytes_;
}

void BackupFeed::Set(std::string bytes) {
    auto replacement = std::make_shared<const std::string>(std::move(bytes));
    std::lock_guard<std::mutex> guard(lock_);
    bytes_ = std::move(replacement);
    ++generation_;
}

bool SetBackupBytes(const std::string& posixPath, std::string bytes) {
    Substitutes& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    const std::shared_ptr<BackupFeed> feed = FeedFor(table, posixPath);
    if (!feed) return false;
    feed->Set(std::move(bytes));
    return true;
}

void ClearBackupBytes() {
    Substitutes& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.byCanonical.clear();
    table.bySpelling.clear();
}

std::shared_ptr<const BackupFeed> FindBackupFeed(const std::string& path) {
    Substitutes& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    // Outside the tests nothing is substituted: resolving the path would cost
    // a look at every folder on it for each file whose streams are read.
    if (table.byCanonical.empty()) return nullptr;
    std::string canonical;
    if (!CanonicalLinuxPath(path, canonical)) return nullptr;
    auto found = table.byCanonical.find(canonical);
    return found == table.byCanonical.end() ? nullptr : found->second;
}

}  // namespace mvx
