// morvex list: the streams of one file, as lines for people or as JSON.
#pragma once

#include <iosfwd>

#include "host/commandline/CommandLine.h"
#include "host/module/PluginModule.h"

// Returns the program's exit status.
int RunList(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& out,
            std::ostream& err);
