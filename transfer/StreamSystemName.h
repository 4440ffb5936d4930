// The name by which the system reaches one stream of the opened file: the
// file's full path, a colon and the stream name.
#pragma once

#include "common/StringBase.h"
#include "streams/StreamEntry.h"

// The system reads the name in the ANSI code page and drops trailing dots and
// spaces from it. A stream name that would reach it as another name (it was
// converted to the OEM page with losses, or ends in a dot or a space) could
// be the name of another stream: it raises
// "The stream name cannot be passed to the system unchanged".
CStringBase<char> StreamSystemName(const CStringBase<char>& filePath, const StreamEntry& entry);
