// One stream of the opened file, as the panel lists it. The backup walk fills
// the header fields, naming fills the rest; copies are deep.
#pragma once

#include <cstdint>

#include "common/StringBase.h"
#include "platform/win32.h"

struct StreamEntry {
    DWORD kindId = 0;      // the header's stream id
    DWORD attributes = 0;  // the header's stream attributes, kept as they came
    uint64_t size = 0;     // bytes of stream data
    // The header's name as delivered (":name:$DATA" for a named stream).
    CWideString rawName;
    CStringBase<char> itemName;    // the item's name in the panel
    CStringBase<char> streamName;  // OEM, without ":" and ":$DATA"
    int kindIndex = -1;            // the row of the stream kind table, or -1
};
