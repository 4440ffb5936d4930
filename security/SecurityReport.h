// The security descriptor stream copied out of the panel: the opened file's
// descriptor, written raw or as a text report.
#pragma once

#include "common/StringBase.h"
#include "streams/StreamEntry.h"

// Writes the descriptor of `sourceName` to a new `outputName` (an existing
// file is replaced); the size of `stream` is the first guess of the
// descriptor's size, and `isDirectory` picks the directory meaning of the
// specific rights; `asText` writes the text report instead of the raw
// descriptor. True, or throws a const char* naming what failed. The
// output file stays behind when a later step fails: empty when the failure
// came before the write.
bool WriteSecurityReport(const StreamEntry& stream, const CStringBase<char>& sourceName,
                         bool isDirectory, const CStringBase<char>& outputName,
                         bool asText);
