// Names and text of the registry: names compare without regard to case, as the
// registry compares them, and keep to the limits the registry keeps. Names and
// text here are UTF-8, as the registry file holds them.
#pragma once

#include "platform/posix/Win32Types.h"

#include <cstddef>
#include <string>
#include <vector>

namespace mvx {

// Longest names, in characters, and deepest key path the registry accepts.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr std::size_t kMaxValueNameLength = 16383;
constexpr std::size_t kMaxKeyDepth = 512;

// Whether `text` is well-formed UTF-8 without NUL characters: the only text
// the registry file may hold.
bool IsRegistryText(const std::string& text);

// Whether two names are the same name to the registry. Letters of the scripts
// the layer's code pages carry (Latin, Greek, Cyrillic, full-width Latin)
// compare without case.
bool RegistryNamesEqual(const std::string& a, const std::string& b);

// The name with every letter in the case RegistryNamesEqual compares in:
// names that are equal fold to the same text, so it keys an index of names.
std::string FoldRegistryName(const std::string& name);

// ERROR_SUCCESS for a value name the registry can keep; ERROR_INVALID_PARAMETER
// for one that is too long or holds a line break, which the line-based file
// cannot carry.
LONG CheckValueName(const std::string& name);

// Splits a sub-key path ("Software\Host\Plugin") into key names and appends
// them to `names`. An empty path adds nothing; one trailing backslash is
// allowed. Returns ERROR_BAD_PATHNAME for a leading backslash or an empty name
// inside the path, ERROR_INVALID_PARAMETER for a name that is too long or holds a
// line break, or for a path that would be deeper than kMaxKeyDepth below the root.
LONG AppendKeyPath(const std::string& path, std::vector<std::string>& names);

}  // namespace mvx
