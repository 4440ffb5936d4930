// How `morvex scan` writes what it finds: one line per alternate data stream,
// or one JSON object per file.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/panel/StreamListing.h"

// SIZE<TAB>PATH:ITEM per stream, PATH and ITEM as the terminal shows text
// (TerminalText.h): a control character in a name must not forge a line.
void WriteScanText(const std::string& path, const std::vector<ListedStream>& streams,
                   std::ostream& out);

// {"path": ..., "streams": [{"name": ..., "size": ...}, ...]} and a line break,
// in UTF-8 as JsonString makes it.
void WriteScanJson(const std::string& path, const std::vector<ListedStream>& streams,
                   std::ostream& out);
