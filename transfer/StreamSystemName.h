// The name by which the system reaches one stream of the opened file: the
// file's full path, a colon and the stream name.
#pragma once

#include "common/StringBase.h"
#include "streams/StreamEntry.h"

// The system reads the name in the ANSI code page and makes it absolute before
// it looks for the stream: it drops trailing dots and spaces, and separators
// and ".." lead it to another file. A stream name that would reach it as
// another name (also one converted to the OEM page with losses) could be the
// name of another stream or file: it raises
// "The stream name cannot be passed to the system unchanged".
CStringBase<char> StreamSystemName(const CStringBase<char>& filePath, const StreamEntry& entry);

// The same for a stream named by the user; `filePath` is a full path.
CStringBase<char> StreamSystemName(const CStringBase<char>& filePath,
                                   const CStringBase<char>& streamName);
