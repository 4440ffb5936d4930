// Matching file names against the wildcards of FindFirstFile, the way
// Windows matches them: case-insensitive, with the old DOS meanings of "?"
// and "." next to wildcards ("*.*" matches every name, "*." the names
// without an extension, "a?" also "a").
#pragma once

#include <string>

namespace mvx {

bool HasWildcards(const std::string& pattern);

// `pattern` and `name` are UTF-8.
bool MatchesPattern(const std::string& pattern, const std::string& name);

}  // namespace mvx
