#include "host/RmCommand.h"

#include <ostream>
#include <vector>

#include "host/CommandLinePanel.h"
#include "host/ExitStatus.h"
#include "host/ItemSelection.h"
#include "transfer/OperationMode.h"

int RunRm(const PluginEntryPoints& entries, const TerminalUi& ui, const CommandLine& line,
          std::ostream& err) {
    CommandLinePanel panel(entries, line.file);
    if (!panel.IsOpenOrSaid("rm", err))
        return kExitFailed;
    std::vector<PanelItem> items;
    try {
        items = SelectItems(entries, panel.Handle(), line.items);
    } catch (const SelectionError& error) {
        err << "morvex rm: " << line.file << ": " << error.what() << '\n';
        return kExitFailed;
    }
    // --yes stands for a user who has answered already: no question, no notice.
    unsigned opMode = line.yes ? OpModeQuiet : 0;
    int deleted = entries.DeleteFiles(panel.Handle(), items.data(), static_cast<int>(items.size()),
                                      opMode);
    if (deleted == 1)
        return kExitDone;
    if (ui.UnansweredQuestions() > 0)
        err << "morvex rm: nothing deleted: there is no terminal to ask on; --yes answers the "
               "question\n";
    return kExitFailed;
}
