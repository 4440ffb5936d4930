// Reading, writing or deleting a stream kept as an attribute must first know
// whether the file's attributes are in Samba's form (SambaStreams.h), and
// only a listing of all their names tells: up to 64 KiB that the kernel
// walks on every call. A caller that reads, writes or deletes a file's
// streams one call at a time would pay that on each call, n² for n streams
// (over a second to delete 5,000).
//
// So the layer remembers the last file it found in plain form: by identity,
// birth time and the change time it had before the listing, or after the
// layer's own last change there. Reading changes nothing, writing or
// deleting a plain attribute keeps a file plain, and a change by any other
// program to the file's attributes moves its change time on; while that
// change time stands, the file is still plain.
//
// What stays unseen is a change by another program in the same tick of a
// coarse file system clock as the change before it. The layer then takes
// the stream the caller named where the file's plain form keeps it, which
// is the stream the caller saw when it last listed the file.
#pragma once

#include "platform/posix/files/FileStatus.h"
#include "platform/posix/files/SambaStreams.h"

#include <string>

namespace mvx {

// LocateAttributeStream for the file whose status, taken before this call,
// is `before`: a file remembered plain and unchanged since is not listed.
DWORD LocateRememberedStream(const AttributeFile& file, const FileStatus& before,
                             const std::string& name, StreamAttribute& where);

// The layer has just written or deleted attribute `where` of the file at
// `path`, which had `identity`: a plain file is remembered as it now is.
void RememberAfterChange(const std::string& path, const FileIdentity& identity,
                         const StreamAttribute& where);

}  // namespace mvx
