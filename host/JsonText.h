// Text as a JSON string.
#pragma once

#include <string>

// `text` (UTF-8) as a JSON string literal with its quotes; control characters,
// quotes and backslashes are escaped, everything else is kept as it is.
std::string JsonString(const std::string& text);
