// The C library enters the kernel through the vDSO's entry, which uses the
// processor's fast system-call instruction. The dynamic loader cannot: it runs
// before that entry is known, so it makes every call of its own (opening,
// mapping and protecting each image, also for a module loaded later) through
// `int 0x80`. Where a virtual machine traps that interrupt, each such call
// costs microseconds, and every 32-bit program pays it some 26 times before
// `main` and 9 more times per module it loads.
#include "bench/SystemCallCost.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#if defined(__i386__)

namespace {

constexpr int kCalls = 20000;
constexpr int kRounds = 5;

void GetParentThroughInterrupt() {
    long result = SYS_getppid;
    asm volatile("int $0x80" : "+a"(result) : : "memory");
}

void GetParentThroughLibrary() {
    syscall(SYS_getppid);
}

// The median over `kRounds` of the microseconds one call of `call` takes.
double MedianMicroseconds(void (*call)()) {
    std::vector<double> rounds;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kCalls; ++i)
            call();
        const std::chrono::duration<double, std::micro> spent =
            std::chrono::steady_clock::now() - start;
        rounds.push_back(spent.count() / kCalls);
    }
    std::nth_element(rounds.begin(), rounds.begin() + kRounds / 2, rounds.end());
    return rounds[kRounds / 2];
}

}  // namespace

void PrintSystemCallCost() {
    std::printf("one system call of a 32-bit process, median of %d rounds of %d:\n", kRounds,
                kCalls);
    std::printf("  through int 0x80 (the loader's calls):    %8.2f us\n",
                MedianMicroseconds(GetParentThroughInterrupt));
    std::printf("  through the vDSO (the C library's calls): %8.2f us\n",
                MedianMicroseconds(GetParentThroughLibrary));
}

#else

void PrintSystemCallCost() {}

#endif
