// morvex get: copies streams of one file to files in a directory through the
// plug-in's GetFiles, which asks for the destination on the terminal unless
// --yes answers it.
#pragma once

#include <iosfwd>

#include "host/commandline/CommandLine.h"
#include "host/dialogs/TerminalUi.h"
#include "host/module/PluginModule.h"

// Returns the program's exit status.
int RunGet(const PluginEntryPoints& entries, TerminalUi& ui, const CommandLine& line,
           std::ostream& err);
