// Runs another program, as a user would, for the benchmarks: its standard
// output thrown away, its peak memory kept.
#pragma once

#include <string>
#include <vector>

// Runs arguments[0] (searched in PATH) with `arguments` and waits for it.
// Returns its peak resident set in KiB; throws when it does not exit with 0.
long RunTool(const std::vector<std::string>& arguments);
