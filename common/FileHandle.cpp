#include "common/FileHandle.h"

CFileHandle::~CFileHandle() {
    // A derived Close can no longer run here; its owner released its part.
    CFileHandle::Close();
}

bool CFileHandle::Close() {
    if (!isOpen)
        return true;
    if (!CloseHandle(handle))
        return false;
    isOpen = false;
    return true;
}

bool CFileHandle::Open(const char* name, DWORD access, DWORD shareMode, DWORD disposition,
                       DWORD flagsAndAttributes, HANDLE templateFile) {
    Close();
    handle = CreateFileA(name, access, shareMode, nullptr, disposition, flagsAndAttributes,
                         templateFile);
    isOpen = handle != INVALID_HANDLE_VALUE;
    return isOpen;
}

bool CFileHandle::GetLength(uint64_t& length) const {
    DWORD high = 0;
    DWORD low = GetFileSize(handle, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return false;
    length = (static_cast<uint64_t>(high) << 32) | low;
    return true;
}
