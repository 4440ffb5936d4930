#include "host/panel/StreamListing.h"

#include <cstring>

#include "host/panel/PanelItemBlock.h"
#include "host/text/Utf8Text.h"

namespace {

// Items of one kind carry the same description: it is converted once.
class DescriptionTexts {
public:
    std::string Of(const char* description) {
        if (last_ == nullptr || std::strcmp(last_, description) != 0) {
            text_ = ToUtf8(description, CP_ACP);
            last_ = description;
        }
        return text_;
    }

private:
    const char* last_ = nullptr;  // the plug-in's text, alive while its items are
    std::string text_;
};

ListedStream ListItem(const PanelItem& item, DescriptionTexts& descriptions) {
    ListedStream stream;
    stream.index = item.itemIndex;
    stream.size = (static_cast<uint64_t>(item.sizeHigh) << 32) | item.sizeLow;
    stream.name = ListedName(item);
    if (item.description != nullptr)
        stream.description = descriptions.Of(item.description);
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

    PanelItemBlock found(entries, panel);
    if (!found.Read())
        return false;
    listing.streams.clear();
    listing.streams.reserve(static_cast<size_t>(found.count));
    DescriptionTexts descriptions;
    for (int i = 0; i < found.count; ++i)
        listing.streams.push_back(ListItem(found.items[i], descriptions));
    return true;
}
