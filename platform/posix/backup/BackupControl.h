// Test control of backup reading: a file can be made to deliver given bytes
// instead of its streams, so that readers meet headers no file system makes
// (an odd name size, a stream cut short) through the real calls.
#pragma once

#include "platform/posix/Win32Functions.h"

#include <memory>
#include <mutex>
#include <string>

namespace mvx {

// Test control.
// BackupRead on a handle opened on the file `posixPath` then delivers exactly
// `bytes`, as one flat sequence: a read returns what it asks for up to what
// is left, a seek skips up to what is left (and fails with ERROR_SEEK when
// that is less than asked). Applies to readings started afterwards, until
// ClearBackupBytes, and restarts a reading of the file under way at the first
// of the new bytes, so that one open file can be read again and again. The
// file is recognised by its canonical path, whatever name opens it; the
// path is resolved when it is first given. False when the file cannot be
// found.
WIN32_LAYER_API bool SetBackupBytes(const std::string& posixPath, std::string bytes);
// Every file delivers its own streams again to readings started afterwards.
WIN32_LAYER_API void ClearBackupBytes();

// The bytes set for one file, as readings of it follow them.
class BackupFeed {
public:
    // The bytes now; `generation` changes each time they are set.
    std::shared_ptr<const std::string> Bytes(unsigned long long& generation) const;
    void Set(std::string bytes);

private:
    mutable std::mutex lock_;
    std::shared_ptr<const std::string> bytes_ = std::make_shared<const std::string>();
    unsigned long long generation_ = 0;
};

// For the layer: the bytes set for the file at `path`, null when none are.
std::shared_ptr<const BackupFeed> FindBackupFeed(const std::string& path);

}  // namespace mvx
