// What a directory search reports about one entry.
#pragma once

#include <cstdint>

#include "common/StringBase.h"
#include "platform/win32.h"

struct FileInfo {
    DWORD attributes = 0;  // FILE_ATTRIBUTE_* bits
    FILETIME creationTime = {0, 0};
    FILETIME lastAccessTime = {0, 0};
    FILETIME lastWriteTime = {0, 0};
    uint64_t size = 0;
    DWORD reserved0 = 0;     // carried along as the search gave it
    CStringBase<char> name;  // the long name, without its directory

    void Assign(const WIN32_FIND_DATAA& found);
};
