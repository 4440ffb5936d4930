// Text of the plug-in's code pages as UTF-8, for output that must be valid
// UTF-8 whatever the plug-in handed over, and the user's UTF-8 names in the
// code pages the plug-in and the layer take.
#pragma once

#include <string>

#include "platform/win32.h"

// `text`, in code page `codePage` (CP_ACP, CP_OEMCP or a number), as UTF-8.
// What the page cannot decode becomes U+FFFD.
std::string ToUtf8(const char* text, UINT codePage);

// `text`, in UTF-8, in code page `codePage` (CP_ACP, CP_OEMCP or a number).
// False when it is not UTF-8 or the page cannot carry every character: a
// stand-in character would name another file.
bool FromUtf8(const std::string& text, UINT codePage, std::string& converted);
