// The item block a panel's GetFindData hands the host, and the name of an item
// as a user reads it. The block goes back to the plug-in through FreeFindData
// when the holder leaves scope, however the reading ends.
#pragma once

#include <string>

#include "host/module/PluginModule.h"

class PanelItemBlock {
public:
    PanelItemBlock(const PluginEntryPoints& entries, HANDLE panel)
        : entries(entries), panel(panel) {}
    ~PanelItemBlock() {
        if (items != nullptr || count != 0)
            entries.FreeFindData(panel, items, count);
    }
    PanelItemBlock(const PanelItemBlock&) = delete;
    PanelItemBlock& operator=(const PanelItemBlock&) = delete;

    // False when the plug-in reports that it cannot give the items.
    bool Read() { return entries.GetFindData(panel, &items, &count, 0) != 0; }

    PanelItem* items = nullptr;
    int count = 0;

private:
    const PluginEntryPoints& entries;
    HANDLE panel;
};

// The item's name in UTF-8: the plug-in hands names over in the OEM code page,
// as console programs read them, and may fill the field to its last byte.
std::string ListedName(const PanelItem& item);
