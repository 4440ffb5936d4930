#include "host/GetCommand.h"

#include <ostream>
#include <string>
#include <vector>

#include "host/CommandLinePanel.h"
#include "host/ErrorLine.h"
#include "host/ExitStatus.h"
#include "host/ItemSelection.h"
#include "host/Utf8Text.h"
#include "transfer/OperationMode.h"

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

}  // namespace

int RunGet(const PluginEntryPoints& entries, const TerminalUi& ui, const CommandLine& line,
           std::ostream& err) {
    std::string destination;
    if (!FromUtf8(line.destination, CP_ACP, destination)) {
        WriteErrorLine(err, line.destination +
                                ": the name cannot be given in the code page of file names");
        return kExitFailed;
    }
    CommandLinePanel panel(entries, line.file);
    if (!panel.IsOpenOrSaid(err))
        return kExitFailed;
    std::vector<PanelItem> items;
    if (!SelectItemsOrSay(entries, panel.Handle(), line.items, line.file, err, items))
        return kExitFailed;
    // --yes stands for a user who has answered already: no question, no notice.
    unsigned opMode = line.yes ? OpModeQuiet : 0;
    int copied = entries.GetFiles(panel.Handle(), items.data(), static_cast<int>(items.size()),
                                  line.move ? 1 : 0, AsDirectory(destination).c_str(), opMode);
    if (copied == 1)
        return kExitDone;
    if (copied < 0 && ui.UnansweredQuestions() > 0)
        WriteErrorLine(err, "nothing copied: there is no terminal to ask on; --yes answers the "
                            "question");
    return kExitFailed;
}
