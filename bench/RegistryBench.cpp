// How long loading the registry file takes as its values grow in number: every
// command of the program loads the whole file once, so the load must stay
// linear. One load is what a program pays first: RegOpenKeyExA and a
// RegQueryValueExA of one value, each reading the file as it is now.
//
// Usage: bench_registry [DIRECTORY] — the registry files go to DIRECTORY
// (default /dev/shm).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench/BenchRun.h"
#include "bench/BenchTiming.h"
#include "platform/win32.h"

namespace {

const char kKeyPath[] = "Software\\Host\\MORVEX";

void WriteRegistryFile(const std::string& path, int valueCount) {
    std::string text = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\";
    text += kKeyPath;
    text += "]\n";
    for (int i = 0; i < valueCount; ++i)
        text += "\"Setting" + std::to_string(i) + "\"=dword:0000002a\n";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// One load: open the key and read the last value written.
void LoadOnce(int valueCount) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        throw std::runtime_error("cannot open the key");
    const std::string name = "Setting" + std::to_string(valueCount - 1);
    DWORD value = 0;
    DWORD size = sizeof(value);
    const LONG code = RegQueryValueExA(key, name.c_str(), nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (code != ERROR_SUCCESS || value != 42) throw std::runtime_error("cannot read " + name);
}

int Run(const std::string& directory) {
    const std::string file = directory + "/morvex-bench-registry-" + std::to_string(getpid());
    setenv("MORVEX_REGISTRY", file.c_str(), 1);
    for (int count : {1000, 10000, 100000}) {
        WriteRegistryFile(file, count);
        const double seconds = MedianSeconds(5, {[count] { LoadOnce(count); }})[0];
        std::printf("registry load, %6d values: %9.2f ms\n", count, seconds * 1000);
    }
    unlink(file.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return RunBenchmark("bench_registry", [&] { return Run(argc > 1 ? argv[1] : "/dev/shm"); });
}
