// One code page as the conversions of the layer see it: a way to read one
// character from bytes and to write one character as bytes.
#pragma once

#include "platform/posix/Win32Types.h"

#include <cstddef>
#include <string>

namespace mvx {

// Bytes of the longest character of any page (UTF-8).
constexpr std::size_t kLongestCharacter = 4;

class CodePage {
public:
    virtual ~CodePage() = default;

    virtual UINT Number() const = 0;
    virtual bool IsLeadByte(unsigned char byte) const = 0;

    // Reads the character at the start of `text` (count > 0 bytes) and returns
    // the bytes it spans; a sequence the page does not define yields
    // kInvalidCharacter. A lead byte takes the next byte only when that can be
    // a trail byte, and a zero byte never can: a reader never steps over a
    // terminator, and a digit after a stray lead byte stays a digit.
    virtual std::size_t Decode(const char* text, std::size_t count, char32_t& character) const = 0;

    // Appends the bytes of `character`; false when the page has no exact
    // equivalent. Nothing is ever approximated by a look-alike: a "best fit"
    // such as the yen sign becoming a backslash would change what a name means.
    virtual bool Encode(char32_t character, std::string& out) const = 0;
};

// The page with this number (not CP_ACP or CP_OEMCP), or null when the layer
// cannot convert it (also when glibc's converter for it is not installed).
// Pages live as long as the process.
const CodePage* FindCodePage(UINT number);

// As FindCodePage, with CP_ACP and CP_OEMCP standing for the current pages.
const CodePage* LookUpCodePage(UINT number);

// The current ANSI page, which the multi-byte helpers follow.
const CodePage& AnsiCodePage();

}  // namespace mvx
