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

inline WORD WordAt(const BYTE* bytes) { return static_cast<WORD>(bytes[0] | (bytes[1] << 8)); }

inline DWORD DwordAt(const BYTE* bytes) {
    return static_cast<DWORD>(WordAt(bytes)) | (static_cast<DWORD>(WordAt(bytes + 2)) << 16);
}

}  // namespace mvx
