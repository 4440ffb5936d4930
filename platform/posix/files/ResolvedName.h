// A Windows name given to a file function, turned into what Linux needs: the
// path of the file and, for "file:stream" or "file:stream:$DATA", the named
// data stream (the extended attribute user.<stream> of the file).
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>

namespace mvx {

struct ResolvedName {
    std::string path;    // UTF-8; ends in '/' when the Windows name ended in a separator
    std::string stream;  // UTF-8, without the "user." prefix
    bool hasStream = false;
};

// Resolves an ANSI name as the file functions take it, keeping the spelling
// of a name Linux holds (see LinuxPathName.h). UNC and device names
// fail with ERROR_BAD_NETPATH, an unmapped drive with ERROR_PATH_NOT_FOUND, a
// misplaced colon or a stream type other than $DATA with ERROR_INVALID_NAME.
// False: the last error is set.
bool ResolveName(LPCSTR name, ResolvedName& out);

// As ResolveName, for a UTF-8 name.
bool ResolveUtf8Name(const std::string& name, ResolvedName& out);

// As ResolveName, for the result of MakeFullPath.
bool ResolveFullPath(const std::string& full, ResolvedName& out);

}  // namespace mvx
