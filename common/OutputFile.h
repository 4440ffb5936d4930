// A file handle opened for writing.
#pragma once

#include "common/FileHandle.h"

class COutputFile : public CFileHandle {
public:
    bool OpenForWriting(const char* name, DWORD shareMode, DWORD disposition,
                        DWORD flagsAndAttributes);
    // Opens with `creationDisposition`: by default an existing file is
    // truncated, as output files are replaced without a question.
    bool Create(const char* name);

    // One write; a short count is not a failure, callers compare `written`.
    bool Write(const void* buffer, DWORD count, DWORD& written);

    DWORD creationDisposition = CREATE_ALWAYS;
    // An open file whose attributes a new output takes (on Linux, its
    // permission bits), so that a copy is no more open than its original.
    HANDLE templateFile = nullptr;
};
