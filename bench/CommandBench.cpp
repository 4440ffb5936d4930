// How fast the morvex program lists and deletes streams, run as a user runs
// it, against the tool that does the same beside it: `list` against
// `getfattr -d` (which also reads every value) on a file with 1 and with
// 1,000 streams, and `rm` of thousands of streams by name, which must take
// time in proportion to the count. Runs of the two alternate, so that both
// meet the same caches; every figure is the median of several runs. Peak
// memory is that of one run of each.
//
// Usage: bench_commands [DIRECTORY] — the files go below DIRECTORY (default
// /dev/shm, where a file holds thousands of attributes) and are deleted at the
// end, also when a run fails.
#include <sys/xattr.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchRun.h"
#include "bench/BenchTiming.h"
#include "bench/ToolRun.h"
#include "host/module/BuildLocation.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

constexpr int kListRuns = 21;
constexpr int kRmRuns = 3;
// Linux lists at most 64 KiB of names; names this short let 5,000 fit.
const int kRmCounts[] = {2500, 5000};

std::string StreamName(int i) {
    return "s" + std::to_string(i);
}

void AddStreams(const std::string& path, int count) {
    const std::string value(100, 'v');
    for (int i = 0; i < count; ++i) {
        const std::string name = "user." + StreamName(i);
        if (setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) != 0)
            throw std::runtime_error("cannot add stream " + name + " to " + path);
    }
}

void BenchList(const std::string& morvex, const TempDirectory& scratch, int streams) {
    const std::string file = scratch.AddFile("list" + std::to_string(streams), "data");
    AddStreams(file, streams);
    const std::vector<std::string> list = {morvex, "list", file};
    const std::vector<std::string> getfattr = {"getfattr", "--absolute-names", "-d", file};
    const std::vector<double> medians =
        MedianSeconds(kListRuns, {[&] { RunTool(list); }, [&] { RunTool(getfattr); }});
    const long listMemory = PeakMemoryKiB(list), getfattrMemory = PeakMemoryKiB(getfattr);
    std::printf("list of a file with %d streams, median of %d runs:\n", streams, kListRuns);
    std::printf("  morvex list:                 %8.2f ms  (peak RSS %ld KiB)\n",
                medians[0] * 1e3, listMemory);
    std::printf("  getfattr -d:                 %8.2f ms  (peak RSS %ld KiB)\n",
                medians[1] * 1e3, getfattrMemory);
    std::printf("  morvex list / getfattr time: %8.2f\n", medians[0] / medians[1]);
}

// The seconds `morvex rm` takes to delete `count` streams named one by one.
double RmSeconds(const std::string& morvex, const TempDirectory& scratch, int count) {
    const std::string file = scratch.AddFile("rm" + std::to_string(count), "data");
    std::vector<std::string> rm = {morvex, "rm", file};
    for (int i = 0; i < count; ++i)
        rm.push_back(StreamName(i));
    rm.push_back("--yes");
    AddStreams(file, count);
    return MedianSeconds(kRmRuns, {[&] { RunTool(rm); }}, [&] { AddStreams(file, count); })[0];
}

void BenchRm(const std::string& morvex, const TempDirectory& scratch) {
    std::printf("rm of streams by name, median of %d runs:\n", kRmRuns);
    std::vector<double> seconds;
    for (int count : kRmCounts) {
        seconds.push_back(RmSeconds(morvex, scratch, count));
        std::printf("  morvex rm of %d streams:   %8.3f s  (%.1f us per stream)\n", count,
                    seconds.back(), seconds.back() * 1e6 / count);
    }
    std::printf("  time of %d / time of %d:   %8.2f  (2.00 when linear)\n", kRmCounts[1],
                kRmCounts[0], seconds[1] / seconds[0]);
}

int Run() {
    TempDirectory scratch;
    const std::string morvex = FindBuildFile("morvex");
    BenchList(morvex, scratch, 1);
    BenchList(morvex, scratch, 1000);
    BenchRm(morvex, scratch);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmark("bench_commands", [&] {
        // Where TempDirectory makes the files.
        setenv("TMPDIR", argc > 1 ? argv[1] : "/dev/shm", 1);
        return Run();
    });
}
