// A file handle opened for reading.
#pragma once

#include "common/FileHandle.h"

class CInputFile : public CFileHandle {
public:
    bool OpenForReading(const char* name, DWORD shareMode, DWORD disposition,
                        DWORD flagsAndAttributes);
    // An existing file, shared with other readers.
    bool OpenForReading(const char* name);

    // One read; a short count is not a failure, callers compare `bytesRead`.
    bool Read(void* buffer, DWORD count, DWORD& bytesRead);
};
