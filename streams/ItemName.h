// Item names: how a stream is named in the panel, and how the name of a file
// copied into the panel is read back as a stream kind and stream name. Every
// kind but alternate data streams is marked by its short name in braces
// ("{Data}", "{Security_Data}x"); the stream name follows in [Number] notation.
#pragma once

#include "common/StringBase.h"
#include "platform/win32.h"

// Sets `itemName` for a stream of kind `kindId` named `streamName` and returns
// the kind's row in the stream kind table. For an unknown kind returns -1 and
// leaves `itemName` as it was.
int MakeItemName(DWORD kindId, const CStringBase<char>& streamName, CStringBase<char>& itemName);

// Returns the kind id that `itemName` stands for and sets `streamName`; a name
// without a kind marker is an alternate data stream. Throws "empty name" and
// the texts of UnescapeName.
DWORD ParseItemName(const CStringBase<char>& itemName, CStringBase<char>& streamName);
