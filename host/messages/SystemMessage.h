// The system's text for an error code, as FormatMessageA gives it, for a
// terminal: one line, without the trailing line break.
#pragma once

#include <string>

#include "platform/win32.h"

// Empty when the system has no text for `code`.
std::string SystemMessageText(DWORD code);
