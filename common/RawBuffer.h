// A heap block of bytes that the copy and security code read into. The
// contents are never initialised. A block of 64 KiB or more starts on a
// page boundary.
#pragma once

#include <cstdint>

#include "platform/win32.h"

class CRawBuffer {
public:
    CRawBuffer() = default;
    CRawBuffer(const CRawBuffer&) = delete;
    CRawBuffer& operator=(const CRawBuffer&) = delete;
    virtual ~CRawBuffer();

    // Adds at least `extra` bytes, keeping the contents. Throws "Not enough
    // memory" (const char*) when the block cannot be had; the buffer is then
    // unchanged.
    void Grow(uint32_t extra);

    uint32_t Capacity() const { return capacity; }
    BYTE* Data() { return data; }

private:
    uint32_t capacity = 0;
    BYTE* block = nullptr;  // as allocated; data starts within it
    BYTE* data = nullptr;
};
