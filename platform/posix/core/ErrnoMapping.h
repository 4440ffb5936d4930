// The one translation of POSIX error numbers into Windows error codes for the
// whole layer, so the same failure reads the same whatever call met it.
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>

namespace mvx {

// The Windows code for `err`. A missing name reads as ERROR_FILE_NOT_FOUND;
// use ErrorFromErrnoAt when the path is known.
DWORD ErrorFromErrno(int err);

// As ErrorFromErrno, but a missing name becomes ERROR_PATH_NOT_FOUND when the
// directory that should hold `path` is missing too, as Windows tells them apart.
DWORD ErrorFromErrnoAt(int err, const std::string& path);

// ErrorFromErrnoAt(err, path) stored as the last error.
void SetLastErrorFromErrno(int err, const std::string& path);

}  // namespace mvx
