// A vector of plain records or pointers, stored by value.
#pragma once

#include <cstring>
#include <type_traits>

#include "common/VectorBase.h"

template <typename T>
class CVector : public CVectorBase {
    static_assert(std::is_trivially_copyable<T>::value, "items are moved as raw bytes");

public:
    CVector() : CVectorBase(sizeof(T)) {}

    // Appends a copy of `item` and returns its index.
    virtual int Add(const T& item) {
        // The item may live in this vector's own storage, which growing frees.
        T copy(item);
        ReserveOne();
        std::memcpy(Slot(size), &copy, sizeof(T));
        return size++;
    }

    // Inserts a copy of `item` at `index`; `index` == Size() appends.
    virtual void Insert(int index, const T& item) {
        T copy(item);
        InsertSlot(index);
        std::memcpy(Slot(index), &copy, sizeof(T));
    }

    // Unchecked: callers pass 0 <= index < Size().
    T& operator[](int index) { return Items()[index]; }
    const T& operator[](int index) const { return Items()[index]; }

    T* Items() { return static_cast<T*>(items); }
    const T* Items() const { return static_cast<const T*>(items); }
};
