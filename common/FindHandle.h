// Owner of one find-first search.
#pragma once

#include "common/FileInfo.h"
#include "platform/win32.h"

class CFindHandle {
public:
    CFindHandle() = default;
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;
    ~CFindHandle() { Close(); }

    // Ends any search held, then looks for the first entry matching `name`
    // (wildcards allowed); fills `info` and returns true when one was found.
    bool FindFirst(const char* name, FileInfo& info);

    // The search is given up even when the system refuses to close it: a
    // search handle must never be closed twice.
    bool Close();

    bool IsOpen() const { return isOpen; }
    HANDLE Handle() const { return handle; }

private:
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool isOpen = false;
};

// Whether anything, file or directory, matches `name`; `info` describes the
// first match. No attribute is checked.
bool FileExists(const char* name, FileInfo& info);
