// morvex get: copies streams of one file to files in a directory through the
// plug-in's GetFiles, which asks for the destination on the terminal unless
// --yes answers it.
#pragma once

#include <iosfwd>

#include "host/CommandLine.h"
#include "host/PluginModule.h"
#include "host/TerminalUi.h"

// Returns the program's exit status.
int RunGet(const PluginEntryPoints& entries, const TerminalUi& ui, const CommandLine& line,
           std::ostream& err);
