// Numbers in the little-endian byte order of Windows records on disk and on
// the wire, whatever the order of the machine.
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>

namespace mvx {

inline void AppendWord(std::string& out, WORD value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

inline void AppendDword(std::string& out, DWORD value) {
    AppendWord(out, static_cast<WORD>(value & 0xFFFF));
    AppendWord(out, static_cast<WORD>(value >> 16));
}

// Writes `value` at `at` and returns the place after it.
inline BYTE* PutWord(BYTE* at, WORD value) {
    at[0] = static_cast<BYTE>(value & 0xFF);
    at[1] = static_cast<BYTE>(value >> 8);
    return at + 2;
}

inline BYTE* PutDword(BYTE* at, DWORD value) {
    return PutWord(PutWord(at, static_cast<WORD>(value & 0xFFFF)), static_cast<WORD>(value >> 16));
}

inline WORD WordAt(const BYTE* bytes) { return static_cast<WORD>(bytes[0] | (bytes[1] << 8)); }

inline DWORD DwordAt(const BYTE* bytes) {
    return static_cast<DWORD>(WordAt(bytes)) | (static_cast<DWORD>(WordAt(bytes + 2)) << 16);
}

}  // namespace mvx
