// Taking files in as alternate data streams of the opened file: the body of
// PutFiles.
#pragma once

#include "hostapi/PanelItem.h"
#include "streams/StreamPanel.h"

// Writes each file to the stream its name reads back as (ParseItemName),
// replacing an existing stream, and for a move deletes the files once all
// were written, read-only ones too. The panel's list is read again however
// the body ends, once it has begun. Returns 1 when every file was written
// (and deleted); 0 for no items, and after a "Copy error", which is shown and
// ends the writing. Raises "directory items can not be copied", "Only writing
// ALTERNATE DATA streams is supported", the texts of ParseItemName and
// StreamSystemName, and "can not delete file"; a move that names the opened
// file among its sources raises "The opened file cannot be moved into itself"
// before anything is written.
int WriteStreams(StreamPanel& panel, const PanelItem* items, int itemCount, int move,
                 unsigned opMode);
