// Names as a Linux user writes them. A name that Linux holds exactly as it
// stands reaches that entry, even where Windows reads its spelling as another
// name: Windows drops a trailing dot or blank of the last component ("x." is
// x), and "/tmp/a:b" would be stream b of /tmp/a. Where Linux holds no such
// entry, the Windows reading stands. A colon in a Windows name ("Z:\tmp\a:b")
// always means a stream: the plug-in forms the names of streams that way,
// and they must never reach a Linux file named alike. After a file that
// exists, the stream is the text as it stands: Linux holds stream names with
// separators, colons, trailing dots and blanks, "." and "..".
#pragma once

#include <string>

namespace mvx {

// The path of `path` without symbolic links, "." or ".."; false with errno
// set when it cannot be resolved (a missing entry on the way, ...).
bool CanonicalLinuxPath(const std::string& path, std::string& canonical);

// True when `name` (UTF-8) is an absolute Linux path of an existing entry
// and holds no backslash. A backslash separates folders in every name the
// plug-in builds (a folder, '\', an item's name), so such a name is read as
// Windows reads it: "/p/d\{Data}" is the file {Data} in /p/d, never an entry
// named so beside d.
bool IsExistingLinuxPath(const std::string& name);

// The full Windows path of `name` (UTF-8), as MakeFullPath computes it but
// keeping the trailing dots and blanks of the last component where the entry
// so spelt exists. "FILE:STREAM" whose FILE exists is FILE's full path, a
// colon and STREAM as it stands, without a type ":$DATA" (FILE alone when
// nothing else follows the colon). False for an empty name.
bool MakeUserFullPath(const std::string& name, std::string& full);

}  // namespace mvx
