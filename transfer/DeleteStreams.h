// Deleting the alternate data streams behind panel items: the body of
// DeleteFiles, which extraction also runs at the end of a move.
#pragma once

#include "hostapi/PanelItem.h"
#include "streams/StreamPanel.h"

// Asks first (unless OpModeQuiet), deletes the items' streams in array order
// and reads the panel's list again however it ends. Returns 1 when every
// stream was deleted; 0 for no items, when the user declined, or after a
// failed deletion, which is shown as "Delete error" and ends the loop. An
// item of another kind raises "Plugin can delete only Alternative data
// stream" when it is reached; the streams before it stay deleted.
int DeleteStreams(StreamPanel& panel, const PanelItem* items, int itemCount, unsigned opMode);
