// Test control of backup reading: a file can be made to deliver given bytes
// instead of its streams, so that readers meet headers no file system makes
// (an odd name size, a stream cut short) through the real calls.
#pragma once

#include "platform/posix/Win32Functions.h"

#include <string>

namespace mvx {

// Test control.
// BackupRead on a handle opened on the file `posixPath` then delivers exactly
// `bytes`, as one flat sequence: a read returns what it asks for up to what
// is left, a seek skips up to what is left (and fails with ERROR_SEEK when
// that is less than asked). Applies to readings started afterwards, until
// ClearBackupBytes; the file is recognised by its canonical path, whatever
// name opens it. False when the file cannot be found.
WIN32_LAYER_API bool SetBackupBytes(const std::string& posixPath, std::string bytes);
// Every file delivers its own streams again.
WIN32_LAYER_API void ClearBackupBytes();

// For the layer: the bytes substituted for the file at `path`.
bool FindBackupBytes(const std::string& path, std::string& bytes);

}  // namespace mvx
