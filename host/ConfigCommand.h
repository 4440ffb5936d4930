// morvex config: shows the plug-in's two switches, or sets them, through the
// plug-in's own settings dialog.
#pragma once

#include <iosfwd>

#include "host/CommandLine.h"
#include "host/PluginModule.h"
#include "host/TerminalUi.h"

// Returns the program's exit status.
int RunConfig(const PluginEntryPoints& entries, TerminalUi& ui, const CommandLine& line,
              std::ostream& out, std::ostream& err);
