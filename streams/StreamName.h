// The stream name of a backup header name: ":notes:$DATA" is the stream
// notes, in the OEM code page, as the system addresses it after "path:".
#pragma once

#include "common/StringBase.h"

// Throws kErrorStreamNameConversion when the name cannot be converted.
CStringBase<char> MakeStreamName(const CWideString& rawName);
