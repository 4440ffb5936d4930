#include "common/ArrayStorage.h"

#include <cstdint>
#include <cstdlib>

int GrowthDelta(int capacity) {
    if (capacity > 64)
        return capacity / 2;
    return capacity > 8 ? 16 : 4;
}

void* AllocateArray(size_t count, size_t itemSize) {
    // Checked before multiplying: on a 32-bit system a few hundred million
    // large records already wrap around to a small, "successful" allocation.
    if (itemSize != 0 && count > SIZE_MAX / itemSize)
        throw "Not enough memory";
    void* array = std::malloc(count * itemSize);
    if (array == nullptr)
        throw "Not enough memory";
    return array;
}

void FreeArray(void* array) {
    std::free(array);
}
