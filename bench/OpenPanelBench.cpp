// How long opening a panel takes, through the loaded module as the host drives
// it: OpenPlugin, GetFindData, FreeFindData, ClosePlugin. A listing reads
// stream headers only, so the size of the main data must not matter, and the
// cost per stream should stay flat as the stream count grows.
//
// Usage: bench_open_panel [DIRECTORY] — the sample files go to DIRECTORY
// (default /dev/shm, a tmpfs that holds many extended attributes per file).
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/BenchRun.h"
#include "host/dialogs/ScriptedUi.h"
#include "host/module/PluginSession.h"

namespace {

constexpr int kOpenFromCommandLine = 4;

void MakeSample(const std::string& path, unsigned long long mainSize, int streamCount) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).flush();
    if (truncate(path.c_str(), static_cast<off_t>(mainSize)) != 0)
        throw std::runtime_error("cannot size " + path);
    const std::string value(100, 'v');
    for (int i = 0; i < streamCount; ++i) {
        std::string name = "user.stream" + std::to_string(i);
        if (setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) != 0)
            throw std::runtime_error("cannot add stream " + name + " to " + path);
    }
}

// One whole open-list-close cycle; returns the item count it saw.
int OpenListClose(const PluginEntryPoints& entries, const std::string& name) {
    HANDLE panel = entries.OpenPlugin(kOpenFromCommandLine, reinterpret_cast<INT_PTR>(name.c_str()));
    if (panel == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + name);
    PanelItem* items = nullptr;
    int count = 0;
    entries.GetFindData(panel, &items, &count, 0);
    entries.FreeFindData(panel, items, count);
    entries.ClosePlugin(panel);
    return count;
}

// Median time of one cycle in microseconds.
double MedianMicroseconds(const PluginEntryPoints& entries, const std::string& name, int rounds) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        auto start = std::chrono::steady_clock::now();
        OpenListClose(entries, name);
        auto stop = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

int Run(const std::string& directory) {
    ScriptedUi ui;
    PluginSession session(PluginSession::DefaultModulePath(), ui);
    const PluginEntryPoints& entries = session.Entries();
    const std::string base = directory + "/morvex-bench-" + std::to_string(getpid());

    const std::string small = base + "-small", huge = base + "-huge";
    MakeSample(small, 1024, 10);
    MakeSample(huge, 8ULL << 30, 10);
    double smallTime = MedianMicroseconds(entries, small, 200);
    double hugeTime = MedianMicroseconds(entries, huge, 200);
    std::printf("open panel, 10 streams, main data 1 KiB:          %9.1f us\n", smallTime);
    std::printf("open panel, 10 streams, main data 8 GiB (sparse): %9.1f us\n", hugeTime);
    std::printf("ratio 8 GiB / 1 KiB:                              %9.2f\n", hugeTime / smallTime);
    unlink(small.c_str());
    unlink(huge.c_str());

    for (int streams : {1, 100, 1000}) {
        const std::string path = base + "-" + std::to_string(streams);
        MakeSample(path, 1024, streams);
        int rounds = streams >= 1000 ? 20 : 100;
        double time = MedianMicroseconds(entries, path, rounds);
        int items = OpenListClose(entries, path);
        std::printf("%4d streams (%4d items): %10.1f us per panel, %7.2f us per stream\n", streams,
                    items, time, time / streams);
        unlink(path.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmark("bench_open_panel", [&] { return Run(argc > 1 ? argv[1] : "/dev/shm"); });
}
