// The name by which the system reaches one stream of the opened file: the
// file's full path, a colon and the stream name.
#pragma once

#include "common/StringBase.h"
#include "streams/StreamEntry.h"

// The system reads the name in the ANSI code page and is asked for its
// absolute form: Windows drops trailing dots and spaces there, and
// separators and ".." lead it to another file, while a system that keeps the
// stream part as it stands answers with the name itself. A stream name that
// would reach it as another name (also one converted to the OEM page with
// losses) could be the name of another stream or file: it raises
// "The stream name cannot be passed to the system unchanged". The length is
// the system's to judge: a name it finds too long raises
// "The filename or extension is too long".
CStringBase<char> StreamSystemName(const CStringBase<char>& filePath, const StreamEntry& entry);

// The same for a stream named by the user; `filePath` is a full path.
CStringBase<char> StreamSystemName(const CStringBase<char>& filePath,
                                   const CStringBase<char>& streamName);
