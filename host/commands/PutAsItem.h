// morvex put --as: one file written in under an item name of the user's
// choice. The plug-in takes a stream's name from the name of the file it is
// given, so the source is handed over through a link of that name in a
// scratch folder (standard input as a copy of that name); the name is parsed
// as the panel parses any file's name.
#pragma once

#include <iosfwd>

#include "host/commandline/CommandLine.h"
#include "host/module/PluginModule.h"

// Returns the program's exit status. The source "-" is `in`, read whole
// first: a stream is set in one piece.
int RunPutAs(const PluginEntryPoints& entries, const CommandLine& line, std::istream& in,
             std::ostream& err);
