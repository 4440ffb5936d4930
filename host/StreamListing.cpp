#include "host/StreamListing.h"

#include <cstring>

#include "host/Utf8Text.h"

namespace {

// Gives the item block back to the plug-in however the reading ends.
class FoundItems {
public:
    FoundItems(const PluginEntryPoints& entries, HANDLE panel) : entries(entries), panel(panel) {}
    ~FoundItems() {
        if (items != nullptr || count != 0)
            entries.FreeFindData(panel, items, count);
    }
    FoundItems(const FoundItems&) = delete;
    FoundItems& operator=(const FoundItems&) = delete;

    bool Get() { return entries.GetFindData(panel, &items, &count, 0) != 0; }

    PanelItem* items = nullptr;
    int count = 0;

private:
    const PluginEntryPoints& entries;
    HANDLE panel;
};

// The name field may be filled to its last byte.
std::string ItemName(const PanelItem& item) {
    return std::string(item.fileName, strnlen(item.fileName, sizeof(item.fileName)));
}

ListedStream ListItem(const PanelItem& item) {
    ListedStream stream;
    stream.index = item.itemIndex;
    stream.size = (static_cast<uint64_t>(item.sizeHigh) << 32) | item.sizeLow;
    // Stream names reach the host in the OEM code page, as console programs read them.
    stream.name = ToUtf8(ItemName(item).c_str(), CP_OEMCP);
    if (item.description != nullptr)
        stream.description = ToUtf8(item.description, CP_ACP);
    return stream;
}

std::string Text(const char* text) {
    return text != nullptr ? ToUtf8(text, CP_ACP) : std::string();
}

}  // namespace

bool ReadStreamListing(const PluginEntryPoints& entries, HANDLE panel, StreamListing& listing) {
    OpenPluginInfo info;
    std::memset(&info, 0, sizeof(info));
    info.structSize = sizeof(info);
    entries.GetOpenPluginInfo(panel, &info);
    listing.title = Text(info.panelTitle);
    listing.path = Text(info.filePath);

    FoundItems found(entries, panel);
    if (!found.Get())
        return false;
    listing.streams.clear();
    for (int i = 0; i < found.count; ++i)
        listing.streams.push_back(ListItem(found.items[i]));
    return true;
}
