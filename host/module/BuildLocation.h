// Finds the files that the build puts beside its binaries (the plug-in
// module, the message file) from wherever a test or the program runs, and
// where the installed program keeps them.
#pragma once

#include <string>
#include <vector>

// Where to look, in order: $MORVEX_BUILD, the running program's directory
// and its parent, then the installed places relative to the program:
// ../lib/morvex and ../share/morvex.
std::vector<std::string> BuildDirectories();

// The first existing file `relativePath` below one of BuildDirectories().
// Throws std::runtime_error listing the places tried.
std::string FindBuildFile(const std::string& relativePath);
