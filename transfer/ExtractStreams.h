// Copying streams of the opened file out to files: the body of GetFiles.
#pragma once

#include "hostapi/PanelItem.h"
#include "streams/StreamPanel.h"

// Lets the user confirm or edit `destinationPath` (unless OpModeQuiet),
// creates its directories, and writes each item's stream to a file named by
// its item name in that directory, replacing an existing file. A move then
// deletes the items as DeleteStreams does. Returns 1 when every item was
// copied (and, for a move, deleted); 0 after a "Copy error", which is shown
// and ends the copying, or when the move's deletion returned 0; -1 when the
// user cancelled the dialog. An output that could be the opened file itself,
// or that reaches the file an earlier item was written to (two names the
// destination takes for one), is a "Copy error": nothing is written over the
// file being read, nor over an item already copied. The
// security descriptor is written as a text report when `securityAsText`.
int ExtractStreams(StreamPanel& panel, const PanelItem* items, int itemCount, int move,
                   const char* destinationPath, unsigned opMode, bool securityAsText);
