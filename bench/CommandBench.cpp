// How fast the morvex program lists, deletes and writes streams, run as a
// user runs it: `list` against the tool that does the same beside it,
// `getfattr -d` (which also reads every value), on a file with 1 and with
// 1,000 streams, whose runs alternate, so that both meet the same caches;
// and `rm` of thousands of streams by name and `put` of thousands of files,
// which must take time in proportion to the count. Every figure is the
// median of several runs. Peak memory is that of one run of each.
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
#include "bench/SystemCallCost.h"
#include "bench/ToolRun.h"
#include "host/module/BuildLocation.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

constexpr int kListRuns = 201;
constexpr int kCountRuns = 3;
// Linux lists at most 64 KiB of names; names this short let 5,000 fit.
const int kStreamCounts[] = {2500, 5000};
// What each stream holds.
const std::string kValue(100, 'v');

std::string StreamName(int i) {
    return "s" + std::to_string(i);
}

void AddStreams(const std::string& path, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string name = "user." + StreamName(i);
        if (setxattr(path.c_str(), name.c_str(), kValue.data(), kValue.size(), 0) != 0)
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
    return MedianSeconds(kCountRuns, {[&] { RunTool(rm); }}, [&] { AddStreams(file, count); })[0];
}

// The seconds `morvex put` takes to write `count` files of one folder in as
// streams.
double PutSeconds(const std::string& morvex, const TempDirectory& scratch, int count) {
    const std::string tag = std::to_string(count);
    const std::string file = scratch.AddFile("put" + tag, "data");
    scratch.AddDirectory("sources" + tag);
    std::vector<std::string> put = {morvex, "put", file};
    for (int i = 0; i < count; ++i)
        put.push_back(scratch.AddFile("sources" + tag + "/" + StreamName(i), kValue));
    put.push_back("--yes");
    auto removeStreams = [&] {
        for (int i = 0; i < count; ++i)
            removexattr(file.c_str(), ("user." + StreamName(i)).c_str());
    };
    return MedianSeconds(kCountRuns, {[&] { RunTool(put); }}, removeStreams)[0];
}

// `verb` of `count` streams for each count, and how the time grows with it.
using CountSeconds = double (*)(const std::string& morvex, const TempDirectory& scratch,
                               int count);

void BenchCounts(const char* verb, CountSeconds seconds, const std::string& morvex,
                 const TempDirectory& scratch) {
    std::printf("%s of thousands of streams, median of %d runs:\n", verb, kCountRuns);
    std::vector<double> times;
    for (int count : kStreamCounts) {
        times.push_back(seconds(morvex, scratch, count));
        std::printf("  morvex %-3s of %d streams:  %8.3f s  (%.1f us per stream)\n", verb, count,
                    times.back(), times.back() * 1e6 / count);
    }
    std::printf("  time of %d / time of %d:   %8.2f  (2.00 when linear)\n", kStreamCounts[1],
                kStreamCounts[0], times[1] / times[0]);
}

int Run() {
    TempDirectory scratch;
    const std::string morvex = FindBuildFile("morvex");
    PrintSystemCallCost();
    BenchList(morvex, scratch, 1);
    BenchList(morvex, scratch, 1000);
    BenchCounts("rm", RmSeconds, morvex, scratch);
    BenchCounts("put", PutSeconds, morvex, scratch);
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
