// Storage of the growable arrays of this program, strings and vectors alike:
// one size limit, one growth rule and one allocation path, so their capacities
// are predictable and a refused allocation is never written through.
#pragma once

#include <cstddef>

// The most elements a string (besides its terminator) or a vector may hold.
constexpr int kMaxArrayCapacity = 0x20000000;

// The number of elements a full array of `capacity` elements grows by: half the
// capacity above 64, 16 from 9 to 64 and 4 below, so short arrays stay short
// and long ones grow geometrically.
int GrowthDelta(int capacity);

// Raw, uninitialised room for `count` elements of `itemSize` bytes each.
// Throws "Not enough memory" (const char*) when the byte count does not fit in
// the address space or the allocator refuses it.
void* AllocateArray(size_t count, size_t itemSize);
void FreeArray(void* array);
