#include "bench/BenchRun.h"

#include <cstdio>
#include <exception>

int RunBenchmark(const char* program, const std::function<int()>& run) {
    try {
        return run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", program, error.what());
        return 1;
    }
}
