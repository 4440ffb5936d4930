// morvex rm: deletes alternate data streams of one file through the plug-in's
// DeleteFiles, which asks its question on the terminal unless --yes answers it.
#pragma once

#include <iosfwd>

#include "host/commandline/CommandLine.h"
#include "host/dialogs/TerminalUi.h"
#include "host/module/PluginModule.h"

// Returns the program's exit status.
int RunRm(const PluginEntryPoints& entries, const TerminalUi& ui, const CommandLine& line,
          std::ostream& err);
