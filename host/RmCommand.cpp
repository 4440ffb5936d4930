#include "host/RmCommand.h"

#include <ostream>
#include <vector>

#include "host/CommandLinePanel.h"
#include "host/ErrorLine.h"
#include "host/ExitStatus.h"
#include "host/ItemSelection.h"
#include "transfer/OperationMode.h"

int RunRm(const PluginEntryPoints& entries, const TerminalUi& ui, const CommandLine& line,
          std::ostream& err) {
    CommandLinePanel panel(entries, line.file);
    if (!panel.IsOpenOrSaid(err))
        return kExitFailed;
    std::vector<PanelItem> items;
    if (!SelectItemsOrSay(entries, panel.Handle(), line.items, line.file, err, items))
        return kExitFailed;
    // --yes stands for a user who has answered already: no question, no notice.
    unsigned opMode = line.yes ? OpModeQuiet : 0;
    int deleted = entries.DeleteFiles(panel.Handle(), items.data(), static_cast<int>(items.size()),
                                      opMode);
    if (deleted == 1)
        return kExitDone;
    if (ui.UnansweredQuestions() > 0)
        WriteErrorLine(err, "nothing deleted: there is no terminal to ask on; --yes answers the "
                            "question");
    return kExitFailed;
}
