#include "common/RawBuffer.h"

#include <cstring>

#include "common/ArrayStorage.h"

namespace {

// The system copies between the page cache and a buffer fastest when the
// buffer starts on a page: the main data copy's 512 KiB buffer, which
// malloc puts 8 bytes past a page on i386, took twice as long on tmpfs.
constexpr uint32_t kPageSize = 4096;
constexpr uint32_t kPageAlignedFrom = 64 * 1024;

// Small buffers grow by fixed steps, large ones by a quarter, so repeated
// growth costs a bounded number of copies.
uint32_t GrowthStep(uint32_t capacity) {
    if (capacity > 64)
        return capacity / 4;
    return capacity > 8 ? 16 : 4;
}

}  // namespace

CRawBuffer::~CRawBuffer() {
    FreeArray(block);
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
    const uint32_t padding = newCapacity >= kPageAlignedFrom ? kPageSize - 1 : 0;
    if (padding > UINT32_MAX - newCapacity)
        throw "Not enough memory";
    BYTE* allocated = static_cast<BYTE*>(AllocateArray(newCapacity + padding, 1));
    const uintptr_t pastPage = reinterpret_cast<uintptr_t>(allocated) % kPageSize;
    BYTE* start = padding != 0 && pastPage != 0 ? allocated + (kPageSize - pastPage) : allocated;
    if (capacity > 0)
        std::memcpy(start, data, capacity);
    FreeArray(block);
    block = allocated;
    data = start;
    capacity = newCapacity;
}
