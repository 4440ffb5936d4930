// The body of a benchmark program's main: what it throws is told on standard
// error under the program's name, and makes the exit status 1.
#pragma once

#include <functional>

int RunBenchmark(const char* program, const std::function<int()>& run);
