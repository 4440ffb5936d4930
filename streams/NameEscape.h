// The [Number] notation of item names: bytes that cannot stand in a file
// name are written as their decimal value in square brackets.
#pragma once

#include "common/StringBase.h"

// Writes control characters 1 to 31 and the path characters "\", "/" and ":"
// as "[Number]": an item name becomes a file name when it is copied out and
// must never lead out of the chosen directory. "[" and a leading "{" are
// written so too, so that every name reads back as itself and never as a
// kind marker. Every other byte, "]" and "}" included, is copied unchanged.
CStringBase<char> EscapeName(const CStringBase<char>& text);

// EscapeName of the `length` bytes at `bytes`, appended to `escaped`: item
// names are built in one buffer, without a string per part.
void AppendEscapedName(CStringBase<char>& escaped, const char* bytes, int length);

// Sizes `text` to hold what it holds, `extra` characters more and the
// EscapeName of the `length` bytes at `bytes`, so that appending them never
// grows it again. Throws "String: Capacity error" when that is more than a
// string can hold.
void ReserveEscapedName(CStringBase<char>& text, int extra, const char* bytes, int length);

// The inverse of EscapeName: every "[Number]" becomes the byte Number. Throws
// "Incorrect [Number] in name" for a bracket that does not hold 1 to 9 digits
// or is never closed, and "[Number] in name must be more than 0 and less than
// 256" for a value outside 1 to 255.
CStringBase<char> UnescapeName(const CStringBase<char>& text);

// UnescapeName of the bytes from `bytes` to `end`, appended to `result`; on a
// throw, `result` may hold part of the name.
void AppendUnescapedName(CStringBase<char>& result, const char* bytes, const char* end);
