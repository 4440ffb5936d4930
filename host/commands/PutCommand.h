// morvex put: writes files into one file as its alternate data streams
// through the plug-in's PutFiles, each handed over as a panel would: by its
// base name, from its own folder as the current directory.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/commandline/CommandLine.h"
#include "host/module/PluginModule.h"

// Returns the program's exit status.
int RunPut(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& err);

// Writes `sources` (Linux paths or Windows names, UTF-8) into the open
// `panel`, folder by folder, once every one of them is found readable; `move`
// deletes them once all are written, and never the opened `file` itself;
// `yes` asks nothing. Returns the exit status.
int WriteSources(const PluginEntryPoints& entries, HANDLE panel, const std::string& file,
                 const std::vector<std::string>& sources, bool move, bool yes,
                 std::ostream& err);
