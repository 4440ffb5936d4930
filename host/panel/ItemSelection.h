// The items of an open panel that a user names on the command line: a name as
// `morvex list` shows it, which selects every item of that name, or #N, the
// item whose index is N. The selection keeps the panel's order and holds each
// item once, as a host hands selected items over.
#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/module/PluginModule.h"

// Why no selection was made; the text says it to the user.
class SelectionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Copies of the panel's items that `names` select (no names: every item),
// without their descriptions, which belong to the plug-in. Throws
// SelectionError when the panel gives no items or a name selects none of them.
std::vector<PanelItem> SelectItems(const PluginEntryPoints& entries, HANDLE panel,
                                   const std::vector<std::string>& names);

// SelectItems on the panel of `file`; when no selection is made, tells `err`
// why in one line and returns false.
bool SelectItemsOrSay(const PluginEntryPoints& entries, HANDLE panel,
                      const std::vector<std::string>& names, const std::string& file,
                      std::ostream& err, std::vector<PanelItem>& selected);
