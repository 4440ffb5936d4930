// Deleting a stream kept as an attribute must first know whether the file's
// attributes are in Samba's form (SambaStreams.h), and only a listing of all
// their names tells: up to 64 KiB that the kernel walks on every call. A
// caller deleting a file's streams one call at a time would pay that on each
// call, n² for n streams (over a second for 5,000).
//
// So the layer remembers the last file it found in plain form: by identity,
// birth time and the change time it had after the layer's own last deletion
// there. Deleting a plain attribute keeps a file plain, and a change by any
// other program to the file's attributes moves its change time on, so while
// that change time stands the file is still plain.
//
// What stays unseen is a change by another program in the same tick of a
// coarse file system clock as the layer's own last deletion. The layer then
// deletes the attribute the caller named as the file's plain form keeps it,
// which is the stream the caller saw when it last listed the file.
#pragma once

#include "platform/posix/files/FileStatus.h"

#include <string>

namespace mvx {

// Whether the file of `status` is the one remembered, unchanged since.
bool IsRememberedPlain(const FileStatus &status);

// The layer has just deleted an attribute of the file at `path`, which had
// `identity` and was in plain form: remembered as it now is.
void RememberPlain(const std::string &path, const FileIdentity &identity);

// Nothing is remembered any more.
void ForgetPlain();

} // namespace mvx
