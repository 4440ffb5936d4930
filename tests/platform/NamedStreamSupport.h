// Files and their named streams in a test directory, written "name" or
// "name:stream" as the layer takes them (a stream is the attribute user.stream).
#pragma once

#include "TempDirectorySupport.h"

#include <string>

// Writes a file, or sets a stream of an existing file or directory.
void PutBytes(const TempDirectory& temp, const std::string& relative, const std::string& bytes);

// The bytes of a file or stream, or "<missing>".
std::string BytesOf(const TempDirectory& temp, const std::string& relative);

// The st_mode of an entry (symbolic links followed), 0 when it is missing.
unsigned ModeOf(const TempDirectory& temp, const std::string& relative);

// "ok", or "error N" with the last error.
std::string Outcome(int result);
