// Timing for the benchmark programs: medians of repeated runs, so that one
// slow run (a cache flush, another process) does not make the figure.
#pragma once

#include <functional>
#include <vector>

// The median seconds of each action over `runs` rounds. Each round runs the
// actions in turn, each followed by `after` (untimed, e.g. removing what it
// wrote), so that all of them meet the same caches.
std::vector<double> MedianSeconds(int runs, const std::vector<std::function<void()>>& actions,
                                  const std::function<void()>& after = [] {});
