// Access rights on files as the I/O manager sees them: generic rights are
// mapped to the specific ones before anything checks them.
#pragma once

#include "platform/posix/Win32Types.h"

namespace mvx {

constexpr DWORD kFileReadData = 0x0001;
constexpr DWORD kFileWriteData = 0x0002;
constexpr DWORD kFileAppendData = 0x0004;
constexpr DWORD kFileExecute = 0x0020;
constexpr DWORD kFileReadAttributes = 0x0080;

constexpr DWORD kFileGenericRead = 0x00120089;
constexpr DWORD kFileGenericWrite = 0x00120116;
constexpr DWORD kFileGenericExecute = 0x001200A0;
constexpr DWORD kFileAllAccess = 0x001F01FF;

inline DWORD MapGenericFileAccess(DWORD access) {
    DWORD specific = access & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL);
    if (access & GENERIC_READ) specific |= kFileGenericRead;
    if (access & GENERIC_WRITE) specific |= kFileGenericWrite;
    if (access & GENERIC_EXECUTE) specific |= kFileGenericExecute;
    if (access & GENERIC_ALL) specific |= kFileAllAccess;
    return specific;
}

inline bool ReadsData(DWORD specificAccess) { return (specificAccess & kFileReadData) != 0; }

inline bool WritesData(DWORD specificAccess) {
    return (specificAccess & (kFileWriteData | kFileAppendData)) != 0;
}

}  // namespace mvx
