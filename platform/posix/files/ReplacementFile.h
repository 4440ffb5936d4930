// The new contents of a file, written under a temporary name in the target's
// own directory and renamed over the target only when complete: a copy that
// fails leaves the target as it was and no temporary file behind.
#pragma once

#include "platform/posix/core/Descriptor.h"
#include "platform/posix/files/FileStatus.h"

#include <string>

namespace mvx {

class ReplacementFile {
public:
    ReplacementFile() = default;
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Creates the temporary beside `target`. A replaced file (`existing`)
    // keeps what KeepTraits keeps: its mode, its owner where the process may
    // give it, and its own streams; a new file gets `newMode` less the umask.
    // NO_ERROR or the error.
    DWORD Create(const std::string& target, const FileStatus* existing, mode_t newMode);

    int FileDescriptor() const { return file_.Get(); }

    // Puts the temporary in the target's place; with `failIfExists`, a target
    // that appeared meanwhile stays and the call fails with ERROR_FILE_EXISTS.
    DWORD Commit(bool failIfExists);

private:
    std::string target_;
    std::string temporary_;
    bool replaces_ = false;
    Descriptor file_;
};

}  // namespace mvx
