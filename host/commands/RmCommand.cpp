#include "host/commands/RmCommand.h"

#include <ostream>
#include <string>
#include <vector>

#include "host/commands/NamedItems.h"
#include "host/messages/ErrorBoxHold.h"
#include "host/messages/ExitStatus.h"
#include "host/messages/ItemFailure.h"
#include "host/panel/PanelItemBlock.h"
#include "hostapi/OperationMode.h"

namespace {

// Of `items`, in their order, those the panel lists now: the plug-in reads
// its list anew after a deletion, so the items are taken from that list.
std::vector<PanelItem> StillListed(const PluginEntryPoints& entries, HANDLE panel,
                                   const std::vector<PanelItem>& items) {
    PanelItemBlock block(entries, panel);
    const int listed = block.Read() ? block.count : 0;
    std::vector<bool> taken(static_cast<size_t>(listed), false);
    std::vector<PanelItem> still;
    for (const PanelItem& item : items) {
        const std::string name = ListedName(item);
        for (int i = 0; i < listed; ++i) {
            if (taken[i] || ListedName(block.items[i]) != name)
                continue;
            taken[i] = true;
            still.push_back(block.items[i]);
            still.back().description = nullptr;  // it belongs to the block
            break;
        }
    }
    return still;
}

}  // namespace

int RunRm(const PluginEntryPoints& entries, const TerminalUi& ui, const CommandLine& line,
          std::ostream& err) {
    NamedItems named(entries, line);
    if (!named.FoundOrSaid(err))
        return kExitFailed;
    std::vector<PanelItem> items(named.Items(), named.Items() + named.Count());
    unsigned mode = OpModeOf(line);
    int failures = 0;
    // The plug-in deletes in order and stops at the first item it cannot
    // delete: that one is told, and the rest are deleted all the same, as rm
    // goes on past a file it cannot remove. Only the first call may ask.
    while (!items.empty()) {
        ErrorBoxHold hold;
        SetLastError(NO_ERROR);
        const int deleted = entries.DeleteFiles(named.Panel(), items.data(),
                                                static_cast<int>(items.size()), mode);
        mode = OpModeQuiet;
        if (deleted == 1)
            break;
        if (hold.Boxes().empty()) {  // answered no, or not asked for want of a terminal
            SayWhenUnasked(ui, "deleted", err);
            return kExitFailed;
        }
        ++failures;
        const std::vector<PanelItem> left = StillListed(entries, named.Panel(), items);
        WriteItemFailure(err, line.file + (left.empty() ? "" : ":" + ListedName(left[0])),
                         hold.Boxes(), "not deleted");
        items.assign(left.empty() ? left.end() : left.begin() + 1, left.end());
    }
    return failures == 0 ? kExitDone : kExitFailed;
}
