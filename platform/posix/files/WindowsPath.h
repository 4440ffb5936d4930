// The text rules of Windows names: what kind of name a string is and the full
// path Windows makes of it. Pure text, no file system access. Names here are
// UTF-8, so a byte 0x5C is always a backslash.
#pragma once

#include <string>

namespace mvx {

enum class PathKind {
    Relative,         // x\y
    Rooted,           // \x\y: the current drive's root
    DriveRelative,    // D:x\y: the current directory of D:
    DriveAbsolute,    // D:\x\y
    Unc,              // \\server\share\x
    LocalDevice,      // \\.\x or \\?\x
    RootLocalDevice,  // \\. or \\?
};

inline bool IsSeparator(char c) { return c == '\\' || c == '/'; }

PathKind ClassifyPath(const std::string& name);

// What becomes of the trailing dots and spaces of the last component: Windows
// drops them; a name that Linux holds with them keeps them.
enum class TrailingDots { Dropped, Kept };

// The full path of `name` as GetFullPathName computes it: separators become
// single backslashes, "." and ".." are resolved (never above the root), the
// last component loses its trailing dots and spaces (unless `dots` keeps
// them), and relative names start from the current directories. False for an
// empty name.
bool MakeFullPath(const std::string& name, std::string& full,
                  TrailingDots dots = TrailingDots::Dropped);

}  // namespace mvx
