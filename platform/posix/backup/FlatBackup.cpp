#include "platform/posix/backup/FlatBackup.h"

#include <algorithm>
#include <cstring>

namespace mvx {

FlatBackup::FlatBackup(std::shared_ptr<FileObject> file, std::shared_ptr<const BackupFeed> feed)
    : BackupContext(std::move(file)), feed_(std::move(feed)) {
    bytes_ = feed_->Bytes(generation_);
}

const std::string& FlatBackup::Follow() {
    unsigned long long generation = 0;
    std::shared_ptr<const std::string> now = feed_->Bytes(generation);
    if (generation != generation_) {
        bytes_ = std::move(now);
        generation_ = generation;
        position_ = 0;
    }
    return *bytes_;
}

DWORD FlatBackup::Read(BYTE* buffer, DWORD count, DWORD& done) {
    const std::string& bytes = Follow();
    done = static_cast<DWORD>(std::min<size_t>(count, bytes.size() - position_));
    if (done > 0) std::memcpy(buffer, bytes.data() + position_, done);
    position_ += done;
    return NO_ERROR;
}

DWORD FlatBackup::Seek(ULONGLONG request, ULONGLONG& skipped) {
    const ULONGLONG left = Follow().size() - position_;
    skipped = std::min(request, left);
    position_ += static_cast<size_t>(skipped);
    return request <= left ? NO_ERROR : ERROR_SEEK;
}

}  // namespace mvx
