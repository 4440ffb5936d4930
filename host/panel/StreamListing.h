// What an open panel shows: its title, the opened file and one item per
// stream, in UTF-8 whatever code pages the plug-in uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/module/PluginModule.h"

struct ListedStream {
    unsigned index;  // the item index the plug-in gave the item
    uint64_t size;
    std::string name;
    std::optional<std::string> description;  // none for a stream of unknown kind
};

struct StreamListing {
    std::string title;
    std::string path;
    std::vector<ListedStream> streams;
};

// Asks the panel for its description and its items. False when the plug-in
// reports that it cannot give the items.
bool ReadStreamListing(const PluginEntryPoints& entries, HANDLE panel, StreamListing& listing);
