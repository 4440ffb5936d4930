#include "common/ProcessToken.h"

bool CProcessToken::Open(HANDLE process, DWORD access) {
    Close();
    isOpen = OpenProcessToken(process, access, &token) != FALSE;
    return isOpen;
}

bool CProcessToken::Close() {
    if (!isOpen)
        return true;
    if (!CloseHandle(token))
        return false;
    isOpen = false;
    return true;
}
