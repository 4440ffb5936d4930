// The kinds of backup streams, in the order of their ids. A stream's kind
// index is its row in this table; a stream whose id is in no row has the
// index -1 and shows without name or description.
#pragma once

#include "platform/win32.h"

struct StreamKind {
    DWORD id;                 // the stream id the backup interface reports
    const char* shortName;    // the kind marker of item names
    const char* description;  // the item description in the panel
};

constexpr int kStreamKindCount = 9;

extern const StreamKind kStreamKinds[kStreamKindCount];

// The row whose id is `id`, or -1.
int FindStreamKind(DWORD id);

// The description of row `index` (0 to kStreamKindCount - 1).
const char* StreamKindDescription(int index);
