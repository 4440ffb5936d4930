// morvex get --output: one item of a file copied to exactly the path given, or
// to standard output. For a path that is new or a regular file, the plug-in
// extracts the item into a scratch folder beside the path, and the copy is
// renamed into place only once it is whole, so a failed copy never leaves part
// of a file at the path. Standard output, a pipe or a device is written into
// as the plug-in writes, through a FIFO: nothing of the item is staged.
#pragma once

#include <iosfwd>

#include "host/commandline/CommandLine.h"
#include "host/module/PluginModule.h"

// Returns the program's exit status; the item's bytes go to `out` for "-".
int RunGetToPath(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& out,
                 std::ostream& err);
