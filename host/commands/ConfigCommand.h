// morvex config: shows the plug-in's two switches, or sets them, through the
// plug-in's own settings dialog; what was set is read back from the registry.
#pragma once

#include <iosfwd>

#include "host/commandline/CommandLine.h"
#include "host/dialogs/TerminalUi.h"
#include "host/module/PluginSession.h"

// Without a switch on the command line, the dialog is asked on the terminal
// when `ui` is interactive, and only read otherwise. Returns the program's
// exit status.
int RunConfig(const PluginSession& session, TerminalUi& ui, const CommandLine& line,
              std::ostream& out, std::ostream& err);
