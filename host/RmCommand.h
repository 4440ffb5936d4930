// morvex rm: deletes alternate data streams of one file through the plug-in's
// DeleteFiles, which asks its question on the terminal unless --yes answers it.
#pragma once

#include <iosfwd>

#include "host/CommandLine.h"
#include "host/PluginModule.h"
#include "host/TerminalUi.h"

// Returns the program's exit status.
int RunRm(const PluginEntryPoints& entries, const TerminalUi& ui, const CommandLine& line,
          std::ostream& err);
