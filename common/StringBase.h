// The program's own strings: CStringBase<char> for 8-bit text and CWideString
// for the 16-bit text of stream names. A string owns exactly one heap buffer
// and copies deeply; copies, assignments and the results of Concat and
// Substring are sized exactly, so a value that is passed on carries no spare
// room, while Append grows by the rule of GrowthDelta.
//
// Misuse throws a const char*: "String: Capacity error" or "String: Index
// Error". CloseBuffer throws the unsigned int kErrorBufferNotTerminated, and a
// refused allocation throws "Not enough memory".
#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <type_traits>
#include <utility>

#include "common/ArrayStorage.h"
#include "common/ErrorNumbers.h"
#include "platform/win32.h"

// The index of the character after the one at `index` (< `length`) in 8-bit
// text under the ANSI code page, so a double-byte character is one step.
int NextCharIndex(const char* text, int index, int length);

inline int NextCharIndex(const WCHAR*, int index, int) {
    return index + 1;
}

template <typename T>
class CStringBase {
public:
    CStringBase() : chars(nullptr), length(0), capacity(0) { Reserve(15); }

    CStringBase(const T* text) : chars(nullptr), length(0), capacity(0) {
        int textLength = TextLength(text);
        Reserve(textLength);
        CopyIn(text, textLength);
    }

    CStringBase(const CStringBase& other) : chars(nullptr), length(0), capacity(0) {
        Reserve(other.length);
        CopyIn(other.chars, other.length);
    }

    ~CStringBase() { FreeArray(chars); }

    CStringBase& operator=(const CStringBase& other) {
        if (&other != this)
            AssignUnits(other.chars, other.length);
        return *this;
    }

    CStringBase& operator=(const T* text) {
        if (text == chars)
            return *this;
        // Emptying the buffer first would destroy text that lies inside it.
        if (IsInBuffer(text))
            return *this = CStringBase(text);
        AssignUnits(text, TextLength(text));
        return *this;
    }

    // Exchanges the buffers: a string built aside replaces this one without
    // a copy.
    void Swap(CStringBase& other) noexcept {
        std::swap(chars, other.chars);
        std::swap(length, other.length);
        std::swap(capacity, other.capacity);
    }

    int Length() const { return length; }
    int Capacity() const { return capacity; }
    bool IsEmpty() const { return length == 0; }
    const T* Ptr() const { return chars; }

    // Makes the buffer hold exactly `newCapacity` characters plus the
    // terminator, shrinking as well as growing.
    void Reserve(int newCapacity) {
        // Checked first so that no count below 0 ever counts as "unchanged",
        // not even before a constructor has allocated anything.
        if (newCapacity > kMaxArrayCapacity || newCapacity < length)
            throw "String: Capacity error";
        if (newCapacity == capacity - 1)
            return;
        T* newChars = static_cast<T*>(AllocateArray(newCapacity + 1, sizeof(T)));
        if (capacity > 0) {
            std::memcpy(newChars, chars, (length + 1) * sizeof(T));
            FreeArray(chars);
        } else {
            newChars[0] = 0;
        }
        chars = newChars;
        capacity = newCapacity + 1;
    }

    // Makes room for appending `count` characters.
    void EnsureRoom(int count) {
        int freeRoom = capacity - length - 1;
        if (count <= freeRoom)
            return;
        int delta = GrowthDelta(capacity);
        if (freeRoom + delta < count)
            delta = count - freeRoom;
        if (delta > kMaxArrayCapacity - capacity)
            throw "String: Capacity error";
        Reserve(capacity + delta);
    }

    CStringBase& Append(const T* text) {
        AppendUnits(text, TextLength(text));
        return *this;
    }

    CStringBase& Append(const T* text, int count) {
        AppendUnits(text, count);
        return *this;
    }

    CStringBase& Append(const CStringBase& other) {
        AppendUnits(other.chars, other.length);
        return *this;
    }

    CStringBase& Append(T c) {
        EnsureRoom(1);
        chars[length++] = c;
        chars[length] = 0;
        return *this;
    }

    CStringBase Substring(int start, int count) const {
        if (start < 0 || start > length)
            throw "String: Index Error";
        if (count > length - start)
            count = length - start;
        if (start == 0 && count == length)
            return *this;
        CStringBase part;
        part.Reserve(count);
        part.CopyIn(chars + start, count);
        return CStringBase(part);
    }

    CStringBase SubstringFrom(int start) const { return Substring(start, length - start); }
    CStringBase Prefix(int count) const { return Substring(0, count); }

    // Character `index`; index == Length() yields the terminator.
    T CharAt(int index) const {
        if (index < 0 || index > length)
            throw "String: Index Error";
        return chars[index];
    }

    // The first `c` at or after `start`, or -1. The text is walked from its
    // beginning so that a trail byte is never taken for a character, even
    // when `start` points into a double-byte character.
    int FindChar(T c, int start = 0) const {
        if (start < 0 || start > length)
            throw "String: Index Error";
        for (int i = 0; i < length; i = NextCharIndex(chars, i, length)) {
            if (i >= start && chars[i] == c)
                return i;
        }
        return -1;
    }

    int FindLastChar(T c) const {
        int found = -1;
        for (int i = 0; i < length; i = NextCharIndex(chars, i, length)) {
            if (chars[i] == c)
                found = i;
        }
        return found;
    }

    // The first occurrence of `other` at or after `start`, or -1.
    int Find(const CStringBase& other, int start = 0) const {
        if (start < 0 || start > length)
            throw "String: Index Error";
        for (int i = start; i <= length - other.length; ++i) {
            if (std::memcmp(chars + i, other.chars, other.length * sizeof(T)) == 0)
                return i;
        }
        return -1;
    }

    void TrimLeft() {
        int start = 0;
        while (start < length && IsBlank(chars[start]))
            start = NextCharIndex(chars, start, length);
        if (start == 0)
            return;
        length -= start;
        std::memmove(chars, chars + start, (length + 1) * sizeof(T));
    }

    void TrimRight() {
        int blankRun = length;
        for (int i = 0; i < length; i = NextCharIndex(chars, i, length)) {
            if (!IsBlank(chars[i]))
                blankRun = length;
            else if (blankRun == length)
                blankRun = i;
        }
        length = blankRun;
        chars[length] = 0;
    }

    // Orders by character codes; used for equality of names, where this is
    // exact in every code page.
    int Compare(const T* other) const {
        for (int i = 0;; ++i) {
            Unit mine = static_cast<Unit>(chars[i]);
            Unit theirs = static_cast<Unit>(other[i]);
            if (mine != theirs)
                return mine < theirs ? -1 : 1;
            if (mine == 0)
                return 0;
        }
    }

    int Compare(const CStringBase& other) const { return Compare(other.chars); }

    // Hands out the buffer, with room for at least `count` characters, to a
    // system call that writes text into it; CloseBuffer takes it back.
    T* OpenBuffer(int count) {
        if (capacity < count)
            Reserve(count);
        return chars;
    }

    void CloseBuffer() {
        for (int i = 0; i < capacity; ++i) {
            if (chars[i] == 0) {
                length = i;
                return;
            }
        }
        throw kErrorBufferNotTerminated;
    }

private:
    typedef typename std::make_unsigned<T>::type Unit;

    static int TextLength(const T* text) {
        int count = 0;
        while (text[count] != 0)
            ++count;
        return count;
    }

    static bool IsBlank(T c) { return c == ' ' || c == '\n' || c == '\t'; }

    bool IsInBuffer(const T* text) const {
        return std::less_equal<const T*>()(chars, text) &&
               std::less<const T*>()(text, chars + capacity);
    }

    // Copies `count` characters to the start of the buffer, which has room.
    void CopyIn(const T* text, int count) {
        std::memcpy(chars, text, count * sizeof(T));
        length = count;
        chars[length] = 0;
    }

    void AssignUnits(const T* text, int count) {
        length = 0;
        chars[0] = 0;
        Reserve(count);
        CopyIn(text, count);
    }

    void AppendUnits(const T* text, int count) {
        // Growing frees the old buffer, which may be where the text lives.
        ptrdiff_t offset = IsInBuffer(text) ? text - chars : -1;
        EnsureRoom(count);
        if (offset >= 0)
            text = chars + offset;
        std::memcpy(chars + length, text, count * sizeof(T));
        length += count;
        chars[length] = 0;
    }

    T* chars;
    int length;
    int capacity;
};

typedef CStringBase<WCHAR> CWideString;

// A new string holding `a` followed by `b`, sized exactly.
template <typename T>
CStringBase<T> Concat(const CStringBase<T>& a, const CStringBase<T>& b) {
    CStringBase<T> joined(a);
    joined.Append(b);
    return CStringBase<T>(joined);
}

template <typename T>
CStringBase<T> Concat(const CStringBase<T>& a, T c) {
    CStringBase<T> joined(a);
    joined.Append(c);
    return CStringBase<T>(joined);
}

template <typename T>
bool operator==(const CStringBase<T>& a, const CStringBase<T>& b) {
    return a.Compare(b) == 0;
}

template <typename T>
bool operator==(const CStringBase<T>& a, const T* b) {
    return a.Compare(b) == 0;
}

template <typename T>
bool operator!=(const CStringBase<T>& a, const CStringBase<T>& b) {
    return a.Compare(b) != 0;
}

template <typename T>
bool operator!=(const CStringBase<T>& a, const T* b) {
    return a.Compare(b) != 0;
}
