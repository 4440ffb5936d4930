// How fast a 256 MiB named stream of a file on an NTFS volume, mounted by
// ntfs-3g with streams_interface=windows, is copied out through the loaded
// module as the host drives it (GetFiles, quiet), against `cp FILE:NAME DEST`
// on the same mount, which reads the same path. Runs of the two alternate, so
// that both meet the same caches; every figure is the median of several runs.
//
// Usage: bench_ntfs_stream — the volume is a sparse 600 MiB image below
// $TMPDIR (default /tmp), made for the run and unmounted and deleted at its
// end, also when a run fails. Where no volume can be mounted (not root, no
// FUSE), it says why and ends with status 0.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchRun.h"
#include "bench/BenchTiming.h"
#include "host/dialogs/ScriptedUi.h"
#include "host/module/PluginSession.h"
#include "host/panel/CommandLinePanel.h"
#include "host/panel/ItemSelection.h"
#include "hostapi/OperationMode.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/ntfs/NtfsVolumeSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

constexpr unsigned kImageMiB = 600;
constexpr size_t kStreamSize = size_t(256) << 20;
constexpr int kRuns = 5;
const char kStream[] = "payload";

// Bytes that differ from block to block, written for real, so that nothing
// on the way can take a shortcut for zeros or repeats.
void WriteStream(const std::string& streamPath) {
    std::mt19937 random(7);
    std::vector<char> block(1 << 20);
    for (char& byte : block) byte = static_cast<char>(random());
    std::ofstream stream(streamPath, std::ios::binary);
    for (size_t done = 0; done < kStreamSize; done += block.size()) {
        block[0] = static_cast<char>(done >> 20);
        stream.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    if (!stream.flush()) throw std::runtime_error("cannot write " + streamPath);
}

double MegabytesPerSecond(double seconds) {
    return static_cast<double>(kStreamSize) / 1e6 / seconds;
}

// Median seconds of the module's extraction and of cp, in alternating runs.
std::pair<double, double> ExtractAndCopySeconds(const std::string& file, const TempDirectory& out) {
    ScriptedUi ui;
    PluginSession session(PluginSession::DefaultModulePath(), ui);
    const PluginEntryPoints& entries = session.Entries();
    CommandLinePanel panel(entries, file);
    if (!panel.IsOpen()) throw std::runtime_error("the module cannot open " + file);
    std::vector<PanelItem> items = SelectItems(entries, panel.Handle(), {kStream});
    const std::string destination = "Z:" + out.Path() + "\\", copy = out.PathOf(kStream);
    auto extract = [&] {
        if (entries.GetFiles(panel.Handle(), items.data(), static_cast<int>(items.size()), 0,
                             destination.c_str(), OpModeQuiet) != 1)
            throw std::runtime_error("GetFiles failed");
    };
    auto cp = [&] {
        if (RunProgram("/bin/cp", {file + ":" + kStream, copy}).status != 0)
            throw std::runtime_error("cp failed");
    };
    const std::vector<double> medians =
        MedianSeconds(kRuns, {extract, cp}, [&] { std::remove(copy.c_str()); });
    return {medians[0], medians[1]};
}

int Run() {
    NtfsVolume volume(NtfsStreams::Paths, kImageMiB);
    if (!volume.Unavailable().empty()) {
        std::printf("bench_ntfs_stream: no NTFS volume, nothing measured: %s\n",
                    volume.Unavailable().c_str());
        return 0;
    }
    const std::string file = volume.AddFile("holder", "main data");
    WriteStream(file + ":" + kStream);
    TempDirectory out;
    const auto [module, cp] = ExtractAndCopySeconds(file, out);
    std::printf("a 256 MiB stream FILE:NAME on ntfs-3g (streams_interface=windows), "
                "median of %d runs:\n", kRuns);
    std::printf("  module (GetFiles, quiet): %8.1f MB/s  (%.3f s)\n", MegabytesPerSecond(module),
                module);
    std::printf("  cp FILE:NAME DEST:        %8.1f MB/s  (%.3f s)\n", MegabytesPerSecond(cp), cp);
    std::printf("  module / cp throughput:   %8.2f\n", cp / module);
    return 0;
}

}  // namespace

int main() {
    return RunBenchmark("bench_ntfs_stream", [] { return Run(); });
}
