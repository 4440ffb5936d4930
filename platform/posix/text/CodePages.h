// The code pages of the layer: which pages the ANSI and OEM functions use, and
// the conversions the rest of the layer needs between those pages, UTF-8 (the
// encoding of Linux names) and UTF-16 (the encoding of Windows stream names).
//
// The ANSI and OEM pages start as UTF-8 (65001) unless MORVEX_ACP or
// MORVEX_OEMCP name another supported page: 437, 850, 852, 866, 1250, 1251,
// 1252, 932. A value that names none of them is reported on standard error and
// UTF-8 is used instead.
//
// The conversions never guess: a sequence the source does not define, or a
// character the target cannot hold exactly, makes them return false and leave
// the output as it was (also when memory runs out). Callers report the name as
// unusable instead of touching a different file or stream. They accept CP_ACP
// and CP_OEMCP for the current pages and do not change the last error.
#pragma once

#include "platform/posix/Win32Functions.h"

#include <string>

namespace mvx {

// Switches the current pages; 0 keeps a page, and so does a page the layer
// cannot convert (GetACP and GetOEMCP always name a usable page).
WIN32_LAYER_API void SetCodePages(UINT ansi, UINT oem);

// Text in `codePage` to UTF-8. UTF-8 to UTF-8 copies the bytes as they are,
// well-formed or not: a Linux name is a byte string, and one that is not valid
// UTF-8 still names its file.
WIN32_LAYER_API bool CodePageToUtf8(UINT codePage, const std::string& text, std::string& utf8);

// UTF-8 to text in `codePage`; false for ill-formed UTF-8 and for characters
// the page lacks. UTF-8 to UTF-8 copies the bytes as they are.
WIN32_LAYER_API bool Utf8ToCodePage(UINT codePage, const std::string& utf8, std::string& text);

// Strict both ways: ill-formed UTF-8 and unpaired surrogates fail.
WIN32_LAYER_API bool Utf8ToUtf16(const std::string& utf8, std::u16string& utf16);
WIN32_LAYER_API bool Utf16ToUtf8(const std::u16string& utf16, std::string& utf8);

}  // namespace mvx
