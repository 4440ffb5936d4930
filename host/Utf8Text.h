// Text of the plug-in's code pages as UTF-8, for output that must be valid
// UTF-8 whatever the plug-in handed over.
#pragma once

#include <string>

#include "platform/win32.h"

// `text`, in code page `codePage` (CP_ACP, CP_OEMCP or a number), as UTF-8.
// What the page cannot decode becomes U+FFFD.
std::string ToUtf8(const char* text, UINT codePage);
