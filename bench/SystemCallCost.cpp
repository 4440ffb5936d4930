// The C library enters the kernel through the vDSO's entry, which uses the
// processor's fast system-call instruction. The dynamic loader cannot: it runs
// before that entry is known, so it makes every call of its own (opening,
// mapping and protecting each image, also for a module loaded later) through
// `int 0x80`. Where a virtual machine traps that interrupt, each such call
// costs microseconds, and every 32-bit program pays it some 24 times before
// `main`, 9 more for each module it loads and once more to unload it.
#include "bench/SystemCallCost.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "bench/BenchTiming.h"

#if defined(__i386__)

namespace {

constexpr int kCalls = 20000;
constexpr int kRounds = 5;

void GetParentThroughInterrupt() {
    for (int i = 0; i < kCalls; ++i) {
        long result = SYS_getppid;
        asm volatile("int $0x80" : "+a"(result) : : "memory");
    }
}

void GetParentThroughLibrary() {
    for (int i = 0; i < kCalls; ++i)
        syscall(SYS_getppid);
}

}  // namespace

void PrintSystemCallCost() {
    const std::vector<double> seconds =
        MedianSeconds(kRounds, {GetParentThroughInterrupt, GetParentThroughLibrary});
    std::printf("one system call of a 32-bit process, median of %d rounds of %d:\n", kRounds,
                kCalls);
    const double microsecondsPerCall = 1e6 / kCalls;
    std::printf("  through int 0x80 (the loader's calls):    %8.2f us\n",
                seconds[0] * microsecondsPerCall);
    std::printf("  through the vDSO (the C library's calls): %8.2f us\n",
                seconds[1] * microsecondsPerCall);
}

#else

void PrintSystemCallCost() {}

#endif
