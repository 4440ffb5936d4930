// Text as a JSON string.
#pragma once

#include <string>

// `text` (UTF-8) as a JSON string literal with its quotes: quotes,
// backslashes and the control characters U+0000 to U+001F and U+007F are
// escaped, a byte that is not part of well-formed UTF-8 becomes U+FFFD, and
// everything else is kept as it is. So the literal is valid JSON in valid
// UTF-8, whatever `text` holds.
std::string JsonString(const std::string& text);
