#include "platform/posix/core/LocalMemory.h"

#include "platform/posix/core/FaultInjection.h"

#include <cstdlib>

namespace mvx {

HLOCAL LocalAllocate(size_t size) { return std::malloc(size == 0 ? 1 : size); }

}  // namespace mvx

// On failure Windows hands the block back, still allocated.
extern "C" HLOCAL WINAPI LocalFree(HLOCAL memory) {
    if (mvx::FaultHit("LocalFree")) return memory;
    std::free(memory);
    return nullptr;
}
