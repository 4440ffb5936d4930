#include "host/commands/RmCommand.h"

#include <algorithm>
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
// `firstAt` is the place in `items` of the first one still listed.
std::vector<PanelItem> StillListed(const PluginEntryPoints& entries, HANDLE panel,
                                   const std::vector<PanelItem>& items, size_t& firstAt) {
    PanelItemBlock block(entries, panel);
    const int listed = block.Read() ? block.count : 0;
    std::vector<bool> taken(static_cast<size_t>(listed), false);
    std::vector<PanelItem> still;
    firstAt = items.size();
    for (size_t at = 0; at < items.size(); ++at) {
        const std::string name = ListedName(items[at]);
        for (int i = 0; i < listed; ++i) {
            if (taken[i] || ListedName(block.items[i]) != name)
                continue;
            taken[i] = true;
            firstAt = std::min(firstAt, at);
            still.push_back(block.items[i]);
            still.back().description = nullptr;  // it belongs to the block
            break;
        }
    }
    return still;
}

std::vector<PanelItem> StillListed(const PluginEntryPoints& entries, HANDLE panel,
                                   const std::vector<PanelItem>& items) {
    size_t firstAt = 0;
    return StillListed(entries, panel, items, firstAt);
}

void TellNotDeleted(const std::string& file, const std::string& item,
                    const std::vector<ErrorBox>& boxes, std::ostream& err) {
    WriteItemFailure(err, file + ":" + item, boxes, "not deleted");
}

// The plug-in deleted `items` in order up to the one it failed on, which is
// told; the items after it, as the panel lists them now, are returned. The
// one it failed on is still listed, unless another program deleted it
// meanwhile: then it is the last one gone before the first still listed, and
// that one, which the plug-in never reached, is deleted on its own to tell.
std::vector<PanelItem> TellFailedItem(const PluginEntryPoints& entries, HANDLE panel,
                                      const std::string& file, const std::vector<PanelItem>& items,
                                      const std::vector<ErrorBox>& boxes, std::ostream& err) {
    size_t firstAt = 0;
    std::vector<PanelItem> left = StillListed(entries, panel, items, firstAt);
    if (firstAt == 0) {
        TellNotDeleted(file, ListedName(left[0]), boxes, err);
        return std::vector<PanelItem>(left.begin() + 1, left.end());
    }
    const std::string gone = ListedName(items[firstAt - 1]);
    if (left.empty()) {
        TellNotDeleted(file, gone, boxes, err);
        return left;
    }
    ErrorBoxHold hold;
    SetLastError(NO_ERROR);
    if (entries.DeleteFiles(panel, left.data(), 1, OpModeQuiet) == 1)
        TellNotDeleted(file, gone, boxes, err);
    else
        TellNotDeleted(file, ListedName(left[0]), hold.Boxes(), err);
    return StillListed(entries, panel, std::vector<PanelItem>(left.begin() + 1, left.end()));
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
        items = TellFailedItem(entries, named.Panel(), line.file, items, hold.Boxes(), err);
    }
    return failures == 0 ? kExitDone : kExitFailed;
}
