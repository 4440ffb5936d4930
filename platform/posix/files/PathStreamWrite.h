// Copying into a stream that is a path FILE:NAME (see StreamPaths.h). ntfs-3g
// cannot rename one stream over another, so an existing stream is rewritten
// in place, its old bytes kept in the stream NAME.~morvex-old until the new
// ones are whole, and put back when the copy fails. The room all this needs is
// checked first, so a full volume never truncates a stream. A new stream that
// fails is taken away (and the file, when the copy made it).
#pragma once

#include "platform/posix/files/CopySource.h"
#include "platform/posix/files/ResolvedName.h"

namespace mvx {

// Writes all of `source` to stream `target.stream` of `target.path`, which
// `fileExists` says whether it was there before. NO_ERROR or the error:
// ERROR_FILE_EXISTS for an existing stream with `failIfExists`,
// ERROR_DISK_FULL when the volume lacks the room.
DWORD WritePathStream(const CopySource& source, const ResolvedName& target, bool fileExists,
                      bool failIfExists);

}  // namespace mvx
