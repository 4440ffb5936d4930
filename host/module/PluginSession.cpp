#include "host/module/PluginSession.h"

#include "host/module/BuildLocation.h"

PluginSession::PluginSession(const std::string& modulePath, HostUi& ui, int moduleNumber,
                             const std::string& rootKeyPath)
    : module(modulePath), binding(ui, moduleNumber, rootKeyPath) {
    module.Entries().SetStartupInfo(&binding.Startup());
}

std::string PluginSession::DefaultModulePath() {
    return FindBuildFile("morvex.so");
}
