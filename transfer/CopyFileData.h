// Copying a file's unnamed data into a new file: the main data stream of the
// opened file copied out of the panel.
#pragma once

#include "common/StringBase.h"

// Replaces `outputPath` with the data of `sourcePath`, in chunks of 512 KiB
// through one buffer, counting in 64 bits. Returns 1, or throws one of "Can
// not open input file", "Can not open output file", "GetLength error", "File
// reading error", "File writing error" and, when another program wrote the
// source while it was read, "The file changed while it was copied"; the output
// is then as it was, for the copy takes its place only once whole. A new
// output takes the source's attributes (on Linux its permission bits); one
// replaced keeps its own.
int CopyFileData(const CStringBase<char>& sourcePath, const CStringBase<char>& outputPath);
