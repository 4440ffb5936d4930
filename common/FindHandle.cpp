#include "common/FindHandle.h"

bool CFindHandle::FindFirst(const char* name, FileInfo& info) {
    Close();
    WIN32_FIND_DATAA found;
    handle = FindFirstFileA(name, &found);
    isOpen = handle != INVALID_HANDLE_VALUE;
    if (isOpen)
        info.Assign(found);
    return isOpen;
}

bool CFindHandle::Close() {
    if (!isOpen)
        return true;
    isOpen = false;
    return FindClose(handle) != FALSE;
}

bool FileExists(const char* name, FileInfo& info) {
    // The search ends as `search` goes out of scope.
    CFindHandle search;
    return search.FindFirst(name, info);
}
