// How a layer function fails: the last error set, FALSE handed back.
#pragma once

#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/Win32Functions.h"

#include <string>

namespace mvx {

inline BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// ErrorFromErrnoAt(err, path) as the last error.
inline BOOL FailErrno(int err, const std::string& path) {
    SetLastErrorFromErrno(err, path);
    return FALSE;
}

}  // namespace mvx
