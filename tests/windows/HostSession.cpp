#include "tests/windows/HostSession.h"

namespace {

// The host numbers its modules; sessions may overlap, so each gets a number of
// its own, and the plug-in's messages must come from the latest.
int NextModuleNumber() {
    static int last = 0;
    return ++last;
}

}  // namespace

HostSession::HostSession(ProbedPlugin& plugin) : binding(ui, NextModuleNumber(), kRootKeyPath) {
    plugin.SetStartupInfo(&binding.Startup());
}

std::string HostSession::ShownText() const {
    std::string shown;
    for (const ScriptedUi::MessageBoxCall& box : ui.MessageBoxes()) {
        if (!shown.empty())
            shown += " | ";
        shown += box.lines.size() > 1 ? box.lines[1] : "<no text line>";
    }
    return shown;
}
