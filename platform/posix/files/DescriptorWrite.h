// Writing a whole buffer to a descriptor: write() may move less than asked
// (a signal, a pipe) and must be repeated until all of it is out.
#pragma once

#include "platform/posix/Win32Types.h"

#include <cstddef>

namespace mvx {

// Returns NO_ERROR or the Windows error of the write that failed.
DWORD WriteWhole(int fd, const char* data, std::size_t size);

}  // namespace mvx
