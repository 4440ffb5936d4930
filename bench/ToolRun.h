// Runs another program, as a user would, for the benchmarks: its standard
// output thrown away.
#pragma once

#include <string>
#include <vector>

// Runs arguments[0] (searched in PATH) with `arguments` and waits for it;
// throws when it does not exit with 0.
void RunTool(const std::vector<std::string>& arguments);

// Runs it the same way and returns the most memory it held resident at once,
// in KiB. The kernel's own count for a child (ru_maxrss) starts from the
// memory of the process that spawned it, so this one traces the child and
// reads its high-water mark as it exits.
long PeakMemoryKiB(const std::vector<std::string>& arguments);
