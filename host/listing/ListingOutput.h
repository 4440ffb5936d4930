// How `morvex list` writes a listing: lines for people, or one JSON object.
#pragma once

#include <iosfwd>

#include "host/panel/StreamListing.h"
#include "host/text/TerminalText.h"

// The title, then per stream: index, size, name and description, in columns
// as wide as their widest value, all shown in `charset` (TerminalText.h).
// Sizes in bytes, or as HumanSize gives them when `humanSizes`.
void WriteListingText(const StreamListing& listing, bool humanSizes,
                      const TerminalCharset& charset, std::ostream& out);

// {"title": ..., "path": ..., "windows_path": ..., "items": [{"index": ...,
// "name": ..., "size": ..., "description": ...}, ...]}: `path` as the user gave
// it, the Windows form as the plug-in reports it; the description is null for
// a stream of unknown kind.
void WriteListingJson(const StreamListing& listing, const std::string& path, std::ostream& out);
