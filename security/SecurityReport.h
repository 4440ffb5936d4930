// The security descriptor stream copied out of the panel: the opened file's
// descriptor, written raw or as a text report.
#pragma once

#include "common/StringBase.h"
#include "streams/StreamEntry.h"

// Writes the descriptor of `sourceName` to a new `outputName` (an existing
// file is replaced); the size of `stream` is the first guess of the
// descriptor's size, and `isDirectory` picks the directory meaning of the
// specific rights; `asText` writes the text report instead of the raw
// descriptor. True, or throws a const char* naming what failed; the output
// is then as it was, for the report takes its place only once whole.
bool WriteSecurityReport(const StreamEntry& stream, const CStringBase<char>& sourceName,
                         bool isDirectory, const CStringBase<char>& outputName,
                         bool asText);
