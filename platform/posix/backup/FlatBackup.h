// A backup reading that delivers fixed bytes as they are, headers or not:
// what a test substituted for a file's streams.
#pragma once

#include "platform/posix/backup/BackupContext.h"

#include <string>

namespace mvx {

class FlatBackup final : public BackupContext {
public:
    FlatBackup(std::shared_ptr<FileObject> file, std::string bytes)
        : BackupContext(std::move(file)), bytes_(std::move(bytes)) {}

    DWORD Read(BYTE* buffer, DWORD count, DWORD& done) override;
    DWORD Seek(ULONGLONG request, ULONGLONG& skipped) override;

private:
    std::string bytes_;
    size_t position_ = 0;
};

}  // namespace mvx
