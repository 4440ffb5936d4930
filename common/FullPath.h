// Making a name absolute.
#pragma once

#include "common/StringBase.h"

// Sets `path` to the absolute form of `name` and `filePartOffset` to where
// its last component begins (the path's length when it ends in a backslash).
// Only absolute forms shorter than MAX_PATH succeed. Throws
// kErrorBufferNotTerminated when the system leaves no terminator.
bool GetFullPath(const char* name, CStringBase<char>& path, int& filePartOffset);
bool GetFullPath(const char* name, CStringBase<char>& path);

// The absolute form of `name` at whatever length the system makes it, for
// names that only pass through to the system, which judges their length.
// False when the system fails: its last error says why.
bool GetWholeFullPath(const char* name, CStringBase<char>& path);
