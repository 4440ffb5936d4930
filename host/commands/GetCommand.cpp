#include "host/commands/GetCommand.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host/commands/NamedItems.h"
#include "host/destinations/CaseFolding.h"
#include "host/destinations/PinnedFolder.h"
#include "host/messages/ErrorLine.h"
#include "host/messages/ErrorBoxHold.h"
#include "host/messages/ExitStatus.h"
#include "host/messages/ItemFailure.h"
#include "host/panel/PanelItemBlock.h"
#include "host/text/Utf8Text.h"
#include "hostapi/DialogItemTypes.h"
#include "hostapi/OperationMode.h"

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

// Two outputs that land on one file: the second would replace the first,
// and a move would delete both streams. Refused before anything is written.
// Two items of one name are told at once; whether two names differ enough
// depends on `folder` (a Linux path, as `shown` names it to the user), which
// is not asked while it is empty.
bool OutputsAreDistinct(NamedItems& named, const std::string& folder, const std::string& shown,
                        std::ostream& err) {
    std::vector<std::string> names;
    for (int i = 0; i < named.Count(); ++i)
        names.push_back(ToUtf8(named.Items()[i].fileName, CP_ACP));
    const auto clash = FirstNamesOnOneFile(folder, names);
    if (!clash)
        return true;
    const std::string& first = names[clash->first];
    const std::string& second = names[clash->second];
    if (first == second)
        WriteErrorLine(err, "two items are named '" + first + "'; #N names each");
    else if (clash->untold.empty())
        WriteErrorLine(err, "'" + first + "' and '" + second + "' would land on one file in " +
                                shown + ", which does not tell letter case apart");
    else
        WriteErrorLine(err, "'" + first + "' and '" + second + "' may land on one file in " +
                                shown + ", which cannot be asked whether it tells letter case "
                                "apart: " + clash->untold);
    return false;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Where the items go: as the user named it, and as the plug-in is handed it.
struct Destination {
    std::string shown;   // UTF-8
    std::string handed;  // in the ANSI page, ending in a backslash
};

// The folder a user typed in the destination dialog and accepted, made when
// it is not there yet and held from now on: the edit line then names the
// held folder, which the plug-in writes into. False
// when the items would not land on files of their own there, which `err`
// was told.
bool HoldTypedFolder(HostDialogItem& edit, std::optional<PinnedFolder>& held,
                     Destination& answered, NamedItems& named, std::ostream& err) {
    std::string typed = ToUtf8(edit.text, CP_ACP);
    while (!typed.empty() && IsBlank(typed.back()))
        typed.pop_back();
    typed.erase(0, typed.find_first_not_of(" \t"));
    std::string handed = edit.text;
    handed.erase(0, handed.find_first_not_of(" \t"));
    handed.erase(handed.find_last_not_of(" \t") + 1);
    // The plug-in knows a folder by its closing backslash; "newdir/" is one
    // to a Linux user all the same.
    if (!handed.empty() && handed.back() == '/') {
        handed.back() = '\\';
        std::memcpy(edit.text, handed.c_str(), handed.size() + 1);
    }
    answered = {typed, handed};
    if (typed.empty() || (typed.back() != '\\' && typed.back() != '/'))
        return true;
    // The root keeps its one separator.
    const size_t end = std::max<size_t>(typed.find_last_not_of("\\/") + 1, 1);
    const std::string folder = typed.substr(0, end);
    if (!OutputsAreDistinct(named, LinuxFolderName(folder), folder, err))
        return false;
    held.emplace(folder, PinnedFolder::kMakeMissing);
    std::string name;
    if (!held->IsHeld() || !FromUtf8(held->Name() + "\\", CP_ACP, name) ||
        name.size() >= sizeof(edit.text))
        return true;
    std::memcpy(edit.text, name.c_str(), name.size() + 1);
    answered.handed = name;
    return true;
}

// On a terminal the plug-in asks for the destination; each answer holds the
// folder typed, should the plug-in ask again. A folder where two items would
// land on one file closes the dialog as a cancel would.
void AskHoldingTheFolder(TerminalUi& ui, std::optional<PinnedFolder>& held,
                         Destination& answered, NamedItems& named, std::ostream& err) {
    ui.AnswerDialog([&ui, &held, &answered, &named, &err](HostDialogItem* items, int count) {
        int closedBy = ui.AskDialog(items, count);
        const bool accepted = closedBy >= 0 && closedBy < count && items[closedBy].defaultButton;
        for (int i = 0; accepted && i < count; ++i)
            if (items[i].type == kDialogEdit &&
                !HoldTypedFolder(items[i], held, answered, named, err))
                closedBy = -1;
        AskHoldingTheFolder(ui, held, answered, named, err);
        return closedBy;
    });
}

// A move of every item moves the alternate data streams, as the panel
// describes them: the data and the descriptor of a file cannot be deleted,
// only copied.
std::vector<PanelItem> ItemsToCopy(const PluginEntryPoints& entries, NamedItems& named,
                                   const CommandLine& line) {
    std::vector<PanelItem> items(named.Items(), named.Items() + named.Count());
    if (!line.move || !line.items.empty())
        return items;
    PanelItemBlock block(entries, named.Panel());
    std::set<DWORD> alternate;
    const int listed = block.Read() ? block.count : 0;
    for (int i = 0; i < listed; ++i) {
        const char* description = block.items[i].description;
        // Copied out of the packed record, which a reference cannot hold.
        const DWORD index = block.items[i].itemIndex;
        if (description != nullptr && std::strcmp(description, "Alternative data stream") == 0)
            alternate.insert(index);
    }
    items.erase(std::remove_if(items.begin(), items.end(),
                               [&](const PanelItem& item) {
                                   const DWORD index = item.itemIndex;
                                   return alternate.count(index) == 0;
                               }),
                items.end());
    return items;
}

std::string OutputOf(const Destination& destination, const std::string& item) {
    const std::string& folder = destination.shown;
    const bool ends = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
    return folder + (ends || folder.empty() ? "" : "/") + item;
}

}  // namespace

int RunGet(const PluginEntryPoints& entries, TerminalUi& ui, const CommandLine& line,
           std::ostream& err) {
    // Without the dialog, in which the user may name another folder, the
    // destination is held from the start.
    const PinnedFolder pinned(line.yes ? line.destination : std::string());
    std::string handed;
    if (!FromUtf8(line.destination, CP_ACP, handed)) {
        WriteErrorLine(err, line.destination +
                                ": the name cannot be given in the code page of file names");
        return kExitFailed;
    }
    std::optional<PinnedFolder> typed;
    Destination answered;
    NamedItems named(entries, line);
    const bool asks = !line.yes && ui.IsInteractive();
    if (asks)
        AskHoldingTheFolder(ui, typed, answered, named, err);
    // Where the user is asked, the folder is known once answered.
    const std::string linuxFolder = asks             ? std::string()
                                    : pinned.IsHeld() ? pinned.Name()
                                                      : LinuxFolderName(line.destination);
    if (!named.FoundOrSaid(err) || !OutputsAreDistinct(named, linuxFolder, line.destination, err))
        return kExitFailed;
    // A folder that is not there yet is made now that the items are known
    // to go there, and held from its making on.
    std::optional<PinnedFolder> made;
    if (line.yes && !pinned.IsHeld())
        made.emplace(line.destination, PinnedFolder::kMakeMissing);
    const PinnedFolder& held = made ? *made : pinned;
    Destination destination{line.destination, handed};
    if (held.IsHeld())
        FromUtf8(held.Name(), CP_ACP, destination.handed);
    destination.handed = AsDirectory(destination.handed);
    // Item by item, as cp goes file by file: one that fails is told, and the
    // others are copied all the same. Only the first call may ask.
    unsigned mode = OpModeOf(line);
    std::vector<PanelItem> copied;
    int failures = 0;
    for (PanelItem& item : ItemsToCopy(entries, named, line)) {
        ErrorBoxHold hold;
        SetLastError(NO_ERROR);
        const int result =
            entries.GetFiles(named.Panel(), &item, 1, 0, destination.handed.c_str(), mode);
        if (result < 0) {
            SayWhenUnasked(ui, "copied", err);
            return kExitFailed;
        }
        if (!answered.handed.empty())
            destination = answered;
        mode = OpModeQuiet;
        if (result == 1) {
            copied.push_back(item);
            continue;
        }
        ++failures;
        const std::string name = ToUtf8(item.fileName, CP_ACP);
        WriteItemFailure(err, name + " -> " + OutputOf(destination, name), hold.Boxes(),
                         "not copied");
    }
    // A move deletes what was copied, in one call: the plug-in reads its list
    // anew after a deletion, which the items of the others would outlive.
    if (line.move && !copied.empty()) {
        ErrorBoxHold hold;
        SetLastError(NO_ERROR);
        if (entries.DeleteFiles(named.Panel(), copied.data(), static_cast<int>(copied.size()),
                                OpModeQuiet) != 1) {
            ++failures;
            WriteItemFailure(err, line.file, hold.Boxes(), "copied, but not deleted");
        }
    }
    return failures == 0 ? kExitDone : kExitFailed;
}
