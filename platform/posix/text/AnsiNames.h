// Names cross the ...A functions in the ANSI code page and reach Linux in
// UTF-8. A name that does not convert exactly is refused: a near miss would
// name a different file.
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>

namespace mvx {

// False with ERROR_INVALID_NAME when `name` is not text of the ANSI page.
bool AnsiNameToUtf8(LPCSTR name, std::string& utf8);

// False when the ANSI page cannot hold every character of `utf8`.
bool Utf8NameToAnsi(const std::string& utf8, std::string& ansi);

// The offset just after the last backslash of ANSI text, stepping over
// double-byte characters whole (a trail byte 0x5C is not a backslash);
// npos when there is no backslash.
std::string::size_type AfterLastBackslash(const std::string& ansi);

}  // namespace mvx
