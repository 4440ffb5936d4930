#include "host/commands/GetCommand.h"

#include <ostream>
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "host/commands/NamedItems.h"
#include "host/destinations/CaseFolding.h"
#include "host/destinations/PinnedFolder.h"
#include "host/messages/ErrorLine.h"
#include "host/messages/ExitStatus.h"
#include "host/text/Utf8Text.h"
#include "hostapi/DialogItemTypes.h"

namespace {

// The plug-in takes a destination for a directory only when it ends in a
// backslash; "--to out" and "--to out/" mean the directory all the same.
std::string AsDirectory(std::string name) {
    if (name.back() == '/')
        name.back() = '\\';
    else if (name.back() != '\\')
        name += '\\';
    return name;
}

// Two outputs whose names differ only in letter case land on one file in a
// folder that folds case: the second would replace the first, and a move
// would delete both streams. Refused before anything is written.
bool OutputsAreDistinct(NamedItems& named, const std::string& folder, std::ostream& err) {
    std::map<std::string, std::string> seen;
    for (int i = 0; i < named.Count(); ++i) {
        const std::string name = ToUtf8(named.Items()[i].fileName, CP_ACP);
        const auto [other, added] = seen.emplace(FoldedName(name), name);
        if (added)
            continue;
        if (other->second == name) {
            WriteErrorLine(err, "two items are named '" + name + "'; #N names each");
            return false;
        }
        if (FoldsLetterCase(folder)) {
            WriteErrorLine(err, "'" + other->second + "' and '" + name + "' would land on one "
                                "file in " + folder + ", which does not tell letter case apart");
            return false;
        }
    }
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The folder a user typed in the destination dialog, held from now on: the
// edit line then names the held folder, which the plug-in writes into. A
// name that is no folder yet (the plug-in makes it) stays as typed.
void HoldTypedFolder(HostDialogItem& edit, std::optional<PinnedFolder>& held) {
    std::string typed = ToUtf8(edit.text, CP_ACP);
    while (!typed.empty() && IsBlank(typed.back()))
        typed.pop_back();
    typed.erase(0, typed.find_first_not_of(" \t"));
    if (typed.empty() || (typed.back() != '\\' && typed.back() != '/'))
        return;
    held.emplace(typed.substr(0, typed.find_last_not_of("\\/") + 1));
    std::string name;
    if (!held->IsHeld() || !FromUtf8(held->Name() + "\\", CP_ACP, name) ||
        name.size() >= sizeof(edit.text))
        return;
    std::memcpy(edit.text, name.c_str(), name.size() + 1);
}

// On a terminal the plug-in asks for the destination; each answer holds the
// folder typed, should the plug-in ask again.
void AskHoldingTheFolder(TerminalUi& ui, std::optional<PinnedFolder>& held) {
    ui.AnswerDialog([&ui, &held](HostDialogItem* items, int count) {
        const int closedBy = ui.AskDialog(items, count);
        for (int i = 0; i < count; ++i)
            if (items[i].type == kDialogEdit)
                HoldTypedFolder(items[i], held);
        AskHoldingTheFolder(ui, held);
        return closedBy;
    });
}

}  // namespace

int RunGet(const PluginEntryPoints& entries, TerminalUi& ui, const CommandLine& line,
           std::ostream& err) {
    // Without the dialog, in which the user may name another folder, the
    // destination is held from the start.
    const PinnedFolder pinned(line.yes ? line.destination : std::string());
    const std::string& folder = line.yes ? pinned.Name() : line.destination;
    std::string destination;
    if (!FromUtf8(folder, CP_ACP, destination)) {
        WriteErrorLine(err, line.destination +
                                ": the name cannot be given in the code page of file names");
        return kExitFailed;
    }
    std::optional<PinnedFolder> typed;
    if (!line.yes && ui.IsInteractive())
        AskHoldingTheFolder(ui, typed);
    NamedItems named(entries, line);
    if (!named.FoundOrSaid(err) || !OutputsAreDistinct(named, line.destination, err))
        return kExitFailed;
    int copied = entries.GetFiles(named.Panel(), named.Items(), named.Count(), line.move ? 1 : 0,
                                  AsDirectory(destination).c_str(), OpModeOf(line));
    if (copied == 1)
        return kExitDone;
    if (copied < 0)
        SayWhenUnasked(ui, "copied", err);
    return kExitFailed;
}
