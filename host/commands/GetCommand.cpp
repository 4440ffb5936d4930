#include "host/commands/GetCommand.h"

#include <ostream>
#include <string>

#include "host/commands/NamedItems.h"
#include "host/commands/PinnedFolder.h"
#include "host/dialogs/ErrorLine.h"
#include "host/dialogs/ExitStatus.h"
#include "host/text/Utf8Text.h"

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
    NamedItems named(entries, line);
    if (!named.FoundOrSaid(err))
        return kExitFailed;
    int copied = entries.GetFiles(named.Panel(), named.Items(), named.Count(), line.move ? 1 : 0,
                                  AsDirectory(destination).c_str(), OpModeOf(line));
    if (copied == 1)
        return kExitDone;
    if (copied < 0)
        SayWhenUnasked(ui, "copied", err);
    return kExitFailed;
}
