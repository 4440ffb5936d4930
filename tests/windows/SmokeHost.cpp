// Drives the Windows build of the plug-in as the host does, under Windows or
// Wine: loads the DLL, binds its entry points by their plain names, serves it
// a StartupInfo of recording host services, and checks what comes back.
// Usage: morvex_smoke [DLL]   (default: morvex.dll beside the program)
// Prints every check and exits 1 when one failed.
#include <cstdio>
#include <exception>
#include <string>

#include "host/module/BuildLocation.h"
#include "tests/windows/SmokeChecks.h"

int main(int argc, char** argv) {
    CheckLog log;
    try {
        const std::string dll = argc > 1 ? argv[1] : FindBuildFile("morvex.dll");
        std::printf("smoke: %s\n", dll.c_str());
        ProbedPlugin plugin(dll);
        SmokeDirectory directory;
        SmokeContext smoke{plugin, log, directory};
        CheckStackProbe(log);
        CheckPluginInfo(smoke);
        CheckSettings(smoke);
        CheckOpensWithoutPanel(smoke);
        CheckPanels(smoke);
        CheckEntryPointStacks(smoke);
    } catch (const std::exception& error) {
        log.Check(false, std::string("the run stopped: ") + error.what());
    }
    log.PrintSummary();
    return log.Failed() == 0 ? 0 : 1;
}
