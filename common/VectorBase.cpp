#include "common/VectorBase.h"

#include <cstring>

#include "common/ArrayStorage.h"

CVectorBase::~CVectorBase() {
    FreeArray(items);
}

void CVectorBase::Delete(int index, int count) {
    count = CheckRange(index, count);
    if (count > 0) {
        MoveTail(index, index + count);
        size -= count;
    }
}

void CVectorBase::Reserve(int count) {
    if (count <= capacity)
        return;
    if (count < size || count > kMaxArrayCapacity)
        throw "Vector: Capacity error";
    void* newItems = AllocateArray(count, itemSize);
    if (capacity > 0)
        std::memcpy(newItems, items, static_cast<size_t>(capacity) * itemSize);
    FreeArray(items);
    items = newItems;
    capacity = count;
}

void CVectorBase::ReserveOne() {
    if (size == capacity)
        Reserve(capacity + GrowthDelta(capacity));
}

int CVectorBase::CheckRange(int index, int count) const {
    if (index < 0 || index > size)
        throw "Vector: Index Error";
    if (count < 0)
        throw "Vector: Size Error";
    // Compared as a difference: index + count may exceed the int range.
    return count > size - index ? size - index : count;
}

void CVectorBase::MoveTail(int dest, int source) {
    std::memmove(Slot(dest), Slot(source), static_cast<size_t>(size - source) * itemSize);
}

void CVectorBase::InsertSlot(int index) {
    CheckRange(index, 1);
    ReserveOne();
    MoveTail(index + 1, index);
    ++size;
}
