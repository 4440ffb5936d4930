// Walks the stream headers of one file opened for backup reading, skipping
// every stream's data, so a listing costs the headers only.
#pragma once

#include "streams/BackupFile.h"
#include "streams/StreamEntry.h"

class BackupStreamReader {
public:
    explicit BackupStreamReader(BackupFile& file) : file(file) {}

    // Reads the next header into the kind id, attributes, size and raw name of
    // `entry` (an unnamed stream leaves the raw name as it was). True with
    // `found` false at the end of the streams; false when a read fails or the
    // walk is out of step. Throws kErrorOddStreamNameSize for a name of an odd
    // byte count.
    bool Next(bool& found, StreamEntry& entry);

private:
    bool ReadName(DWORD nameSize, CWideString& name);

    BackupFile& file;
};
