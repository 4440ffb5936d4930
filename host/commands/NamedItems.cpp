#include "host/commands/NamedItems.h"

#include <ostream>
#include <string>

#include "host/messages/ErrorLine.h"
#include "host/panel/ItemSelection.h"
#include "hostapi/OperationMode.h"

NamedItems::NamedItems(const PluginEntryPoints& entries, const CommandLine& line)
    : entries(entries), line(line), panel(entries, line.file) {}

bool NamedItems::FoundOrSaid(std::ostream& err) {
    return panel.IsOpenOrSaid(err) &&
           SelectItemsOrSay(entries, panel.Handle(), line.items, line.file, err, items);
}

unsigned OpModeOf(const CommandLine& line) { return line.yes ? OpModeQuiet : 0; }

void SayWhenUnasked(const TerminalUi& ui, const char* done, std::ostream& err) {
    if (ui.UnansweredQuestions() > 0)
        WriteErrorLine(err, std::string("nothing ") + done +
                                ": there is no terminal to ask on; --yes answers the question");
}
