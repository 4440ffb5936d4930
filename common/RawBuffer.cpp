#include "common/RawBuffer.h"

#include <cstring>

#include "common/ArrayStorage.h"

namespace {

// Small buffers grow by fixed steps, large ones by a quarter, so repeated
// growth costs a bounded number of copies.
uint32_t GrowthStep(uint32_t capacity) {
    if (capacity > 64)
        return capacity / 4;
    return capacity > 8 ? 16 : 4;
}

}  // namespace

CRawBuffer::~CRawBuffer() {
    FreeArray(data);
}

void CRawBuffer::Grow(uint32_t extra) {
    uint32_t step = GrowthStep(capacity);
    if (step < extra)
        step = extra;
    // A capacity that wrapped around would be a small block that the old
    // contents are then copied past.
    if (step > UINT32_MAX - capacity)
        throw "Not enough memory";
    uint32_t newCapacity = capacity + step;
    BYTE* block = static_cast<BYTE*>(AllocateArray(newCapacity, 1));
    if (capacity > 0)
        std::memcpy(block, data, capacity);
    FreeArray(data);
    data = block;
    capacity = newCapacity;
}
