// morvex scan: every file and directory of some trees that has at least one
// alternate data stream, as the plug-in's panel shows it.
#pragma once

#include <iosfwd>

#include "host/commandline/CommandLine.h"
#include "host/module/PluginModule.h"

// Walks line.directories; exit status 0, or 1 when something could not be read.
int RunScan(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& out,
            std::ostream& err);
