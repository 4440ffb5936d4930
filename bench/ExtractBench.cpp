// How fast streams are copied out through the loaded module, as the host
// drives it (GetFiles, quiet), against the system's own tools on the same data:
// the main data of a 1 GiB file against `cp` and `dd bs=512K`, which do the
// same reads and writes, and 1,000 small streams of one file against
// `getfattr -d`, which reads them all. Caches are left as they are; every
// figure is the median of several runs.
//
// Usage: bench_extract [DIRECTORY [STREAM_DIRECTORY]] — the 1 GiB file and its
// copies go to DIRECTORY, the file with 1,000 streams to STREAM_DIRECTORY
// (both default /dev/shm: in memory, no disk's writeback gets into the
// figures, and ext4 keeps all attributes of a file in one block, far too
// small for 1,000 of them). Everything made is deleted at the end, also
// when a run fails.
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchRun.h"
#include "bench/BenchTiming.h"
#include "bench/ToolRun.h"
#include "host/dialogs/ScriptedUi.h"
#include "host/module/PluginSession.h"
#include "host/panel/CommandLinePanel.h"
#include "host/panel/ItemSelection.h"
#include "hostapi/OperationMode.h"

namespace {

constexpr unsigned long long kBigSize = 1ULL << 30;
constexpr int kBigRuns = 5;
constexpr int kStreamCount = 1000;
constexpr int kStreamRuns = 7;

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) {
    return remove(path);
}

// A directory for one figure's files, removed with them however the figure ends.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& path) : path(path) {
        if (mkdir(path.c_str(), 0755) != 0)
            throw std::runtime_error("cannot create " + path);
    }
    ~ScratchDirectory() { nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS); }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string path;
};

// A file of `size` bytes that are not all alike, written for real (a sparse
// file would be read from nothing).
void MakeBigFile(const std::string& path, unsigned long long size) {
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0)
        throw std::runtime_error("cannot create " + path);
    std::vector<unsigned char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<unsigned char>(i * 131 + i / 251);
    for (unsigned long long done = 0; done < size; done += block.size()) {
        block[0] = static_cast<unsigned char>(done >> 20);
        if (write(file, block.data(), block.size()) != static_cast<ssize_t>(block.size())) {
            close(file);
            throw std::runtime_error("cannot write " + path);
        }
    }
    close(file);
}

void MakeStreamFile(const std::string& path, int streamCount) {
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file < 0)
        throw std::runtime_error("cannot create " + path);
    close(file);
    const std::string value(100, 'v');
    for (int i = 0; i < streamCount; ++i) {
        std::string name = "user.stream" + std::to_string(i);
        if (setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) != 0)
            throw std::runtime_error("cannot add stream " + name + " to " + path);
    }
}

// How the layer names a Linux directory, ending in the separator the
// extraction wants.
std::string WindowsDirectory(const std::string& linuxPath) {
    std::string name = "Z:" + linuxPath + "\\";
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

// The module's extraction of `names` (no names: every alternate data stream)
// of `file` into `directory`.
std::function<void()> ExtractThroughModule(const PluginEntryPoints& entries,
                                           const CommandLinePanel& panel,
                                           const std::vector<std::string>& names,
                                           const std::string& directory) {
    std::vector<PanelItem> items = SelectItems(entries, panel.Handle(), names);
    if (names.empty())
        items.erase(std::remove_if(items.begin(), items.end(),
                                   [](const PanelItem& item) { return item.fileName[0] == '{'; }),
                    items.end());
    std::string destination = WindowsDirectory(directory);
    return [&entries, &panel, items, destination]() mutable {
        if (entries.GetFiles(panel.Handle(), items.data(), static_cast<int>(items.size()), 0,
                             destination.c_str(), OpModeQuiet) != 1)
            throw std::runtime_error("GetFiles failed");
    };
}

void BenchMainData(const PluginEntryPoints& entries, const std::string& base) {
    ScratchDirectory scratch(base + "-big"), out(base + "-big/out");
    const std::string source = scratch.path + "/source", target = out.path + "/{Data}";
    MakeBigFile(source, kBigSize);
    auto removeTarget = [&] { unlink(target.c_str()); };
    CommandLinePanel panel(entries, source);
    if (!panel.IsOpen())
        throw std::runtime_error("cannot open " + source);
    // The three take turns, so that none of them meets the page cache and
    // the memory in a state of its own, such as the source's pages just
    // written.
    const std::vector<double> times = MedianSeconds(
        kBigRuns,
        {ExtractThroughModule(entries, panel, {"{Data}"}, out.path),
         [&] { RunTool({"cp", source, target}); },
         [&] { RunTool({"dd", "if=" + source, "of=" + target, "bs=512K", "status=none"}); }},
        removeTarget);
    const double module = times[0], cp = times[1], dd = times[2];

    const double mib = static_cast<double>(kBigSize) / (1 << 20);
    std::printf("main data of a 1 GiB file, median of %d runs:\n", kBigRuns);
    std::printf("  module (GetFiles, quiet): %8.1f MiB/s  (%.3f s)\n", mib / module, module);
    std::printf("  cp:                       %8.1f MiB/s  (%.3f s)\n", mib / cp, cp);
    std::printf("  dd bs=512K:               %8.1f MiB/s  (%.3f s)\n", mib / dd, dd);
    std::printf("  module / cp throughput:   %8.2f\n", cp / module);
    std::printf("  module / dd throughput:   %8.2f\n", dd / module);
}

void BenchSmallStreams(const PluginEntryPoints& entries, const std::string& base) {
    ScratchDirectory scratch(base + "-streams"), out(base + "-streams/out");
    const std::string source = scratch.path + "/source";
    MakeStreamFile(source, kStreamCount);
    auto removeOutputs = [&] {
        for (int i = 0; i < kStreamCount; ++i)
            unlink((out.path + "/stream" + std::to_string(i)).c_str());
    };
    double module, getfattr;
    {
        CommandLinePanel panel(entries, source);
        if (!panel.IsOpen())
            throw std::runtime_error("cannot open " + source);
        module = MedianSeconds(
            kStreamRuns, {ExtractThroughModule(entries, panel, {}, out.path)}, removeOutputs)[0];
    }
    getfattr = MedianSeconds(
        kStreamRuns, {[&] { RunTool({"getfattr", "--absolute-names", "-d", source}); }})[0];

    std::printf("%d streams of 100 bytes of one file, median of %d runs:\n", kStreamCount,
                kStreamRuns);
    std::printf("  module (GetFiles, quiet): %8.1f ms  (%.1f us per stream)\n", module * 1e3,
                module * 1e6 / kStreamCount);
    std::printf("  getfattr -d:              %8.1f ms\n", getfattr * 1e3);
    std::printf("  module / getfattr time:   %8.2f\n", module / getfattr);
}

int Run(const std::string& directory, const std::string& streamDirectory) {
    ScriptedUi ui;
    PluginSession session(PluginSession::DefaultModulePath(), ui);
    const std::string tag = "/morvex-extract-bench-" + std::to_string(getpid());
    BenchMainData(session.Entries(), directory + tag);
    BenchSmallStreams(session.Entries(), streamDirectory + tag);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmark("bench_extract", [&] { return Run(argc > 1 ? argv[1] : "/dev/shm", argc > 2 ? argv[2] : "/dev/shm"); });
}
