// Text of the plug-in's code pages as UTF-8, for output that must be valid
// UTF-8 whatever the plug-in handed over, and the user's UTF-8 names in the
// code pages the plug-in and the layer take.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32.h"

// `text`, in code page `codePage` (CP_ACP, CP_OEMCP or a number), as UTF-8.
// What the page cannot decode becomes U+FFFD.
std::string ToUtf8(const char* text, UINT codePage);

// `text`, in UTF-8, in code page `codePage` (CP_ACP, CP_OEMCP or a number).
// False when it is not UTF-8 or the page cannot carry every character: a
// stand-in character would name another file.
bool FromUtf8(const std::string& text, UINT codePage, std::string& converted);

// The character that starts at text[at]: its code point, and how many bytes it
// takes. 0 when the bytes there are not well-formed UTF-8 (a stray byte, an
// overlong form, a surrogate, a code point beyond U+10FFFF, or a character
// cut short by the end of the text).
size_t DecodeUtf8(const std::string& text, size_t at, char32_t& codePoint);

// True when every byte of `text` belongs to a well-formed UTF-8 character.
bool IsUtf8(const std::string& text);
