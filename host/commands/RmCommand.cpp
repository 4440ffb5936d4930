#include "host/commands/RmCommand.h"

#include <ostream>

#include "host/commands/NamedItems.h"
#include "host/messages/ExitStatus.h"

int RunRm(const PluginEntryPoints& entries, const TerminalUi& ui, const CommandLine& line,
          std::ostream& err) {
    NamedItems named(entries, line);
    if (!named.FoundOrSaid(err))
        return kExitFailed;
    if (entries.DeleteFiles(named.Panel(), named.Items(), named.Count(), OpModeOf(line)) == 1)
        return kExitDone;
    SayWhenUnasked(ui, "deleted", err);
    return kExitFailed;
}
