// How fast `morvex scan` walks a large tree, against `getfattr -R -m
// '^user\.'`, which reads the same attribute lists: 100,000 files in 100
// folders, 1% of them with a stream, output to /dev/null. Runs of the two
// alternate, so that both meet the same caches; every figure is the median of
// several runs. Both programs start through the same shell.
//
// Usage: bench_scan [DIRECTORY] — the tree goes below DIRECTORY (default
// /dev/shm) and is deleted at the end, also when a run fails.
#include <sys/xattr.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchRun.h"
#include "bench/BenchTiming.h"
#include "bench/ToolRun.h"
#include "host/module/BuildLocation.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

constexpr int kFolders = 100;
constexpr int kFilesPerFolder = 1000;
constexpr int kStreamEvery = 100;  // one file in so many has a stream
constexpr int kRuns = 7;

// Returns how many files have a stream.
int MakeTree(const TempDirectory& tree) {
    int withStream = 0;
    for (int folder = 0; folder < kFolders; ++folder) {
        const std::string name = "folder" + std::to_string(folder);
        tree.AddDirectory(name);
        for (int i = 0; i < kFilesPerFolder; ++i) {
            const std::string file = tree.AddFile(name + "/file" + std::to_string(i), "data");
            if ((folder * kFilesPerFolder + i) % kStreamEvery != 0)
                continue;
            if (setxattr(file.c_str(), "user.tag", "0123456789", 10, 0) != 0)
                throw std::runtime_error("cannot add a stream to " + file);
            ++withStream;
        }
    }
    return withStream;
}

// Runs `command` with "$1", "$2"... set to `arguments`, its output thrown away.
void RunShell(const std::string& command, const std::vector<std::string>& arguments) {
    std::vector<std::string> shell = {"-c", "exec " + command + " > /dev/null", "sh"};
    shell.insert(shell.end(), arguments.begin(), arguments.end());
    const ProgramRun run = RunProgram("/bin/sh", shell);
    if (run.status != 0)
        throw std::runtime_error(command + " failed: " + run.err);
}

// The scan must find every file with a stream, or its time says nothing.
void CheckScan(const std::string& morvex, const std::string& tree, int withStream) {
    const ProgramRun run = RunProgram(morvex, {"scan", tree});
    const long lines = std::count(run.out.begin(), run.out.end(), '\n');
    if (run.status != 0 || lines != withStream)
        throw std::runtime_error("morvex scan found " + std::to_string(lines) + " streams of " +
                                 std::to_string(withStream) + ": " + run.err);
}

int Run() {
    TempDirectory tree;
    const int withStream = MakeTree(tree);
    const std::string morvex = FindBuildFile("morvex");
    CheckScan(morvex, tree.Path(), withStream);

    const std::vector<double> medians = MedianSeconds(kRuns, {
        [&] { RunShell("\"$1\" scan \"$2\"", {morvex, tree.Path()}); },
        [&] { RunShell("getfattr -R -m '^user\\.' \"$1\"", {tree.Path()}); },
    });
    const double scanTime = medians[0], getfattrTime = medians[1];
    const long scanMemory = PeakMemoryKiB({morvex, "scan", tree.Path()});
    const long getfattrMemory =
        PeakMemoryKiB({"getfattr", "--absolute-names", "-R", "-m", "^user\\.", tree.Path()});
    std::printf("%d files in %d folders, %d with a stream, median of %d runs:\n",
                kFolders * kFilesPerFolder, kFolders, withStream, kRuns);
    std::printf("  morvex scan:                 %8.1f ms  (peak RSS %ld KiB)\n", scanTime * 1e3,
                scanMemory);
    std::printf("  getfattr -R -m '^user\\.':    %8.1f ms  (peak RSS %ld KiB)\n",
                getfattrTime * 1e3, getfattrMemory);
    std::printf("  morvex scan / getfattr time: %8.2f\n", scanTime / getfattrTime);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmark("bench_scan", [&] {
        // Where TempDirectory makes the tree.
        setenv("TMPDIR", argc > 1 ? argv[1] : "/dev/shm", 1);
        return Run();
    });
}
