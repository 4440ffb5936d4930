// Reading a file's security descriptor into a buffer of ours.
#pragma once

#include <cstdint>

#include "common/RawBuffer.h"
#include "platform/win32.h"

// Reads the `requested` parts of the descriptor of `name` into `buffer`,
// trying `firstGuess` bytes first (unless no descriptor can be that long)
// and then the size the system asks for.
// Returns how many bytes of the buffer the system may have filled.
// Throws "GetFileSecurity error" when the system cannot give the
// descriptor, and "buffer to small for GetFileSecurity" when it outgrows
// the size asked for between the two calls.
DWORD ReadFileDescriptor(const char* name, SECURITY_INFORMATION requested, uint32_t firstGuess,
                         CRawBuffer& buffer);
