// Owner of one process access token.
#pragma once

#include "platform/win32.h"

class CProcessToken {
public:
    CProcessToken() = default;
    CProcessToken(const CProcessToken&) = delete;
    CProcessToken& operator=(const CProcessToken&) = delete;
    ~CProcessToken() { Close(); }

    // Releases any token held first.
    bool Open(HANDLE process, DWORD access);
    // A failed close keeps the token, so that a later Close can try again.
    bool Close();

    bool IsOpen() const { return isOpen; }
    HANDLE Handle() const { return token; }

private:
    bool isOpen = false;
    HANDLE token = nullptr;
};
