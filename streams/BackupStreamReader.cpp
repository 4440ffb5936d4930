#include "streams/BackupStreamReader.h"

#include <cstddef>

#include "common/ArrayStorage.h"
#include "common/ErrorNumbers.h"

namespace {

// The fixed part of a stream header; the name follows it.
const DWORD kHeaderSize = offsetof(WIN32_STREAM_ID, cStreamName);

// Characters of a name read at a time.
const int kNamePieceUnits = 2048;

}  // namespace

bool BackupStreamReader::Next(bool& found, StreamEntry& entry) {
    found = false;
    WIN32_STREAM_ID header;
    DWORD bytesRead = 0;
    // Security is asked for, so the descriptor arrives as a stream of its own.
    if (!file.Read(&header, kHeaderSize, bytesRead, true))
        return false;
    if (bytesRead == 0)
        return true;
    if (bytesRead != kHeaderSize)
        return false;
    entry.kindId = header.dwStreamId;
    entry.attributes = header.dwStreamAttributes;
    entry.size = static_cast<uint64_t>(header.Size.QuadPart);
    if (header.dwStreamNameSize != 0 && !ReadName(header.dwStreamNameSize, entry.rawName))
        return false;

    DWORD skippedLow = 0;
    DWORD skippedHigh = 0;
    // The skipped count tells whether the walk stays in step; the call's own
    // result adds nothing to that.
    file.Skip(header.Size.u.LowPart, static_cast<DWORD>(header.Size.u.HighPart), skippedLow,
              skippedHigh);
    found = true;
    return ((static_cast<uint64_t>(skippedHigh) << 32) | skippedLow) == entry.size;
}

bool BackupStreamReader::ReadName(DWORD nameSize, CWideString& name) {
    if (nameSize % 2 != 0)
        throw kErrorOddStreamNameSize;
    // No system delivers a name this long; a header that announces one has
    // lost its place in the sequence.
    if (nameSize / 2 >= static_cast<DWORD>(kMaxArrayCapacity))
        return false;
    // The name grows piece by piece as its bytes arrive, so a damaged header
    // that announces a huge name costs only the bytes really there.
    name = CWideString();
    WCHAR piece[kNamePieceUnits];
    for (DWORD left = nameSize; left > 0;) {
        const DWORD wanted = left < sizeof(piece) ? left : static_cast<DWORD>(sizeof(piece));
        DWORD bytesRead = 0;
        if (!file.Read(piece, wanted, bytesRead, true))
            return false;
        // Only whole characters are kept of a piece cut short.
        name.Append(piece, static_cast<int>(bytesRead / 2));
        if (bytesRead != wanted)
            return false;
        left -= bytesRead;
    }
    return true;
}
