// How `morvex list` writes a listing: lines for people, or one JSON object.
#pragma once

#include <iosfwd>

#include "host/StreamListing.h"

// The title, then per stream: index, size, name and description. Control
// characters in names are shown as escapes.
void WriteListingText(const StreamListing& listing, std::ostream& out);

// {"title": ..., "path": ..., "items": [{"index": ..., "name": ..., "size": ...,
// "description": ...}, ...]}; the description is null for a stream of unknown kind.
void WriteListingJson(const StreamListing& listing, std::ostream& out);
