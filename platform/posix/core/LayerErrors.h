// Error codes of this layer for conditions Windows never meets. Bit 29 marks
// a code as an application's own, so none collides with a system code;
// FormatMessageA gives their texts as it gives the system's.
#pragma once

#include "platform/posix/Win32Types.h"

namespace mvx {

// A named stream larger than its volume hands out as an extended attribute:
// ntfs-3g's default interface cuts every stream at 64 KiB.
constexpr DWORD kErrorStreamBeyondAttribute = 0x20000001;

}  // namespace mvx
