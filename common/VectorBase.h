// The untyped core of the program's vectors: a growable array of items of one
// fixed byte size. Items are plain records or pointers and are moved as raw
// bytes. Storage grows by the rule of GrowthDelta and never shrinks.
//
// Misuse throws a const char*: "Vector: Capacity error", "Vector: Index Error"
// or "Vector: Size Error"; a refused allocation throws "Not enough memory".
// A failing check changes nothing.
#pragma once

class CVectorBase {
public:
    explicit CVectorBase(int itemSize)
        : capacity(0), size(0), items(nullptr), itemSize(itemSize) {}
    virtual ~CVectorBase();

    // Removes the items from `index` on, at most `count` of them.
    virtual void Delete(int index, int count);

    // Items are raw bytes, possibly owning pointers: a copy could not know
    // whose they are.
    CVectorBase(const CVectorBase&) = delete;
    CVectorBase& operator=(const CVectorBase&) = delete;

    int Size() const { return size; }
    int Capacity() const { return capacity; }

    // Makes room for `count` items in all.
    void Reserve(int count);
    // Makes room for one more item.
    void ReserveOne();
    // Validates a range and returns its count, cut to the items there are.
    int CheckRange(int index, int count) const;
    void DeleteFrom(int index) { Delete(index, size - index); }
    void Clear() { DeleteFrom(0); }

protected:
    // Moves the items from `source` to the end so that they begin at `dest`.
    void MoveTail(int dest, int source);
    // Opens an uninitialised slot at `index`; `index` == Size() appends.
    void InsertSlot(int index);
    void* Slot(int index) const { return static_cast<char*>(items) + index * itemSize; }

    int capacity;
    int size;
    void* items;
    int itemSize;
};
