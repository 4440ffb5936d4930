#include "host/panel/ItemSelection.h"

#include <optional>
#include <ostream>

#include "host/messages/ErrorLine.h"
#include "host/panel/PanelItemBlock.h"

namespace {

// The items as the host keeps them; the plug-in's block is given back at once.
std::vector<PanelItem> PanelItems(const PluginEntryPoints& entries, HANDLE panel) {
    PanelItemBlock block(entries, panel);
    if (!block.Read())
        throw SelectionError("the stream list cannot be read");
    std::vector<PanelItem> items;
    if (block.items != nullptr && block.count > 0)
        items.assign(block.items, block.items + block.count);
    // The descriptions belong to the block.
    for (PanelItem& item : items)
        item.description = nullptr;
    return items;
}

// N of "#N"; none for any other text, which is then a name.
std::optional<unsigned long long> IndexOf(const std::string& name) {
    const size_t kMaxDigits = 10;
    if (name.size() < 2 || name.size() > kMaxDigits + 1 || name[0] != '#' ||
        name.find_first_not_of("0123456789", 1) != std::string::npos)
        return std::nullopt;
    return std::stoull(name.substr(1));
}

bool Selects(const std::string& name, const PanelItem& item) {
    std::optional<unsigned long long> index = IndexOf(name);
    return index ? *index == item.itemIndex : name == ListedName(item);
}

// "#N" names the item at index N; a stream may be listed under that very
// text. Rather than guess which one the user meant, say how to name each.
void RefuseAmbiguousIndex(const std::string& name, const std::vector<PanelItem>& items) {
    const std::optional<unsigned long long> index = IndexOf(name);
    if (!index)
        return;
    for (const PanelItem& item : items) {
        if (ListedName(item) == name && item.itemIndex != *index)
            throw SelectionError("'" + name + "' is both the index of item " + name +
                                 " and the name of item #" + std::to_string(item.itemIndex) +
                                 "; name that one as #" + std::to_string(item.itemIndex));
    }
}

}  // namespace

std::vector<PanelItem> SelectItems(const PluginEntryPoints& entries, HANDLE panel,
                                   const std::vector<std::string>& names) {
    std::vector<PanelItem> items = PanelItems(entries, panel);
    if (names.empty())
        return items;
    std::vector<bool> chosen(items.size(), false);
    for (const std::string& name : names) {
        RefuseAmbiguousIndex(name, items);
        bool found = false;
        for (size_t i = 0; i < items.size(); ++i) {
            if (Selects(name, items[i]))
                chosen[i] = found = true;
        }
        if (!found)
            throw SelectionError("no item '" + name + "' in the stream list");
    }
    std::vector<PanelItem> selected;
    for (size_t i = 0; i < items.size(); ++i) {
        if (chosen[i])
            selected.push_back(items[i]);
    }
    return selected;
}

bool SelectItemsOrSay(const PluginEntryPoints& entries, HANDLE panel,
                      const std::vector<std::string>& names, const std::string& file,
                      std::ostream& err, std::vector<PanelItem>& selected) {
    try {
        selected = SelectItems(entries, panel, names);
        return true;
    } catch (const SelectionError& error) {
        WriteErrorLine(err, file + ": " + error.what());
        return false;
    }
}
