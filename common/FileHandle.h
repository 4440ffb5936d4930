// Owner of one system file handle. The reading and writing variants derive
// from it; a variant that holds more than the handle overrides Close and
// releases its own resources in its own destructor.
#pragma once

#include <cstdint>

#include "platform/win32.h"

class CFileHandle {
public:
    CFileHandle() = default;
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;
    virtual ~CFileHandle();

    // True when nothing is held or the handle was closed. A failed close
    // keeps the handle, so that a later Close can try again.
    virtual bool Close();

    // Releases what is held through the virtual Close, then opens `name`; a
    // new file takes the attributes of `templateFile` when one is given.
    bool Open(const char* name, DWORD access, DWORD shareMode, DWORD disposition,
              DWORD flagsAndAttributes, HANDLE templateFile = nullptr);

    bool GetLength(uint64_t& length) const;

    bool IsOpen() const { return isOpen; }
    HANDLE Handle() const { return handle; }

private:
    bool isOpen = false;
    HANDLE handle = INVALID_HANDLE_VALUE;
};
