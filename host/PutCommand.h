// morvex put: writes files into one file as its alternate data streams
// through the plug-in's PutFiles, each handed over as a panel would: by its
// base name, from its own folder as the current directory.
#pragma once

#include <iosfwd>

#include "host/CommandLine.h"
#include "host/PluginModule.h"

// Returns the program's exit status.
int RunPut(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& err);
