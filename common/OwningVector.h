// A vector of pointers to heap objects that it owns: removing an item destroys
// its object, and the vector destroys what is left when it goes.
#pragma once

#include <memory>

#include "common/Vector.h"

template <typename T>
class COwningVector : public CVector<T*> {
public:
    ~COwningVector() override { this->Clear(); }

    void Delete(int index, int count) override {
        count = this->CheckRange(index, count);
        for (int i = index; i < index + count; ++i)
            delete (*this)[i];
        CVectorBase::Delete(index, count);
    }

    // Stores a new heap copy of `object` and returns its index.
    virtual int AddCopy(const T& object) {
        std::unique_ptr<T> copy(new T(object));
        int index = this->Add(copy.get());
        copy.release();
        return index;
    }

    // Inserts a new heap copy of `object` at `index`.
    virtual void InsertCopy(int index, const T& object) {
        std::unique_ptr<T> copy(new T(object));
        this->Insert(index, copy.get());
        copy.release();
    }

    // The object itself stays owned here: handing out a writable slot would
    // let a caller drop it unnoticed.
    T* operator[](int index) const { return CVector<T*>::operator[](index); }
};
