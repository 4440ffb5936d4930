// The open registry keys of the process, by handle. A handle names a key by
// its path, not by a place in memory: the file is re-read by every operation,
// so a key is found afresh each time, and one that another process took away
// is noticed.
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>
#include <vector>

namespace mvx {

struct OpenRegistryKey {
    // False for the predefined roots other than HKEY_CURRENT_USER: they exist
    // as handles, but hold nothing and take nothing.
    bool present = true;
    std::vector<std::string> path;  // key names below HKEY_CURRENT_USER
    REGSAM access = 0;              // with generic rights already mapped
};

// Turns generic and maximum-allowed rights into the key rights they grant.
REGSAM MapKeyAccess(REGSAM access);

// Keeps an open key and returns its new handle.
HKEY AddKeyHandle(OpenRegistryKey key);

// The key behind `handle`, predefined roots included: ERROR_SUCCESS, or
// ERROR_INVALID_HANDLE for a handle that is not open.
LONG FindKeyHandle(HKEY handle, OpenRegistryKey& key);

// Forgets an open key; closing a predefined root does nothing, as on Windows.
// ERROR_SUCCESS, or ERROR_INVALID_HANDLE for a handle that is not open.
LONG RemoveKeyHandle(HKEY handle);

}  // namespace mvx
