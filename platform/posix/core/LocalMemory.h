// Blocks the layer hands out for the caller to release with LocalFree, as
// Windows does with the lists and names its security functions allocate.
#pragma once

#include "platform/posix/Win32Types.h"

#include <cstddef>

namespace mvx {

// A block of `size` bytes (at least one, so even an empty result is a block
// LocalFree takes); null when memory runs out.
HLOCAL LocalAllocate(size_t size);

}  // namespace mvx
