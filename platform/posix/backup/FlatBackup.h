// A backup reading that delivers fixed bytes as they are, headers or not:
// what a test substituted for a file's streams. When the test sets the file's
// bytes again, the reading starts over at the first of the new ones.
#pragma once

#include "platform/posix/backup/BackupContext.h"
#include "platform/posix/backup/BackupControl.h"

#include <string>

namespace mvx {

class FlatBackup final : public BackupContext {
public:
    FlatBackup(std::shared_ptr<FileObject> file, std::shared_ptr<const BackupFeed> feed);

    DWORD Read(BYTE* buffer, DWORD count, DWORD& done) override;
    DWORD Seek(ULONGLONG request, ULONGLONG& skipped) override;

private:
    // The feed's bytes, from their beginning when they were set again.
    const std::string& Follow();

    std::shared_ptr<const BackupFeed> feed_;
    std::shared_ptr<const std::string> bytes_;
    unsigned long long generation_ = 0;
    size_t position_ = 0;
};

}  // namespace mvx
