// The panel of a command's file and the items its line names in it, as get
// and rm act on them. The panel stays open while the object lives.
#pragma once

#include <iosfwd>
#include <vector>

#include "host/commandline/CommandLine.h"
#include "host/dialogs/TerminalUi.h"
#include "host/module/PluginModule.h"
#include "host/panel/CommandLinePanel.h"

class NamedItems {
public:
    NamedItems(const PluginEntryPoints& entries, const CommandLine& line);

    // True when the panel is open and the items are selected; otherwise `err`
    // was told why in one line.
    bool FoundOrSaid(std::ostream& err);

    HANDLE Panel() const { return panel.Handle(); }
    PanelItem* Items() { return items.data(); }
    int Count() const { return static_cast<int>(items.size()); }

private:
    const PluginEntryPoints& entries;
    const CommandLine& line;
    CommandLinePanel panel;
    std::vector<PanelItem> items;
};

// --yes stands for a user who has answered already: no question, no notice.
unsigned OpModeOf(const CommandLine& line);

// Tells `err` that nothing was `done` ("copied", "deleted") when the
// plug-in's question went unanswered for want of a terminal.
void SayWhenUnasked(const TerminalUi& ui, const char* done, std::ostream& err);
