#include "host/panel/ItemSelection.h"

#include <optional>
#include <ostream>
#include <unordered_map>

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

// Where each item sits in the list, by the name it is listed under and by
// its index: a command may name thousands of items, each found at once.
class ItemLookup {
public:
    explicit ItemLookup(const std::vector<PanelItem>& items) {
        for (size_t i = 0; i < items.size(); ++i) {
            byName[ListedName(items[i])].push_back(i);
            byIndex[items[i].itemIndex].push_back(i);
        }
    }

    // The positions of the items `name` selects.
    const std::vector<size_t>& Selected(const std::string& name) const {
        const std::optional<unsigned long long> index = IndexOf(name);
        return index ? Find(byIndex, *index) : Named(name);
    }

    const std::vector<size_t>& Named(const std::string& name) const { return Find(byName, name); }

private:
    template <typename Map, typename Key>
    static const std::vector<size_t>& Find(const Map& map, const Key& key) {
        static const std::vector<size_t> kNone;
        const auto found = map.find(key);
        return found == map.end() ? kNone : found->second;
    }

    std::unordered_map<std::string, std::vector<size_t>> byName;
    std::unordered_map<unsigned long long, std::vector<size_t>> byIndex;
};

// "#N" names the item at index N; a stream may be listed under that very
// text. Rather than guess which one the user meant, say how to name each.
void RefuseAmbiguousIndex(const std::string& name, const std::vector<PanelItem>& items,
                          const ItemLookup& lookup) {
    const std::optional<unsigned long long> index = IndexOf(name);
    if (!index)
        return;
    for (size_t i : lookup.Named(name)) {
        const PanelItem& item = items[i];
        if (item.itemIndex != *index)
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
    const ItemLookup lookup(items);
    std::vector<bool> chosen(items.size(), false);
    for (const std::string& name : names) {
        RefuseAmbiguousIndex(name, items, lookup);
        const std::vector<size_t>& selected = lookup.Selected(name);
        if (selected.empty())
            throw SelectionError("no item '" + name + "' in the stream list");
        for (size_t i : selected)
            chosen[i] = true;
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
