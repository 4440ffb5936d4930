// A plug-in module as the host runs it: loaded, its services bound to a
// HostUi, and SetStartupInfo called. Everything a caller needs to drive the
// module through its entry points, as the real host would.
#pragma once

#include <string>

#include "host/module/HostBinding.h"
#include "host/module/HostUi.h"
#include "host/module/PluginModule.h"

class PluginSession {
public:
    // The number the host gives the module unless told otherwise.
    static constexpr int kDefaultModuleNumber = 1;
    // The host's registry settings root unless told otherwise.
    static constexpr const char* kDefaultRootKeyPath = "Software\\MorvexHost\\Plugins";

    // Throws what PluginModule throws.
    PluginSession(const std::string& modulePath, HostUi& ui,
                  int moduleNumber = kDefaultModuleNumber,
                  const std::string& rootKeyPath = kDefaultRootKeyPath);

    // morvex.so as the build placed it (see BuildLocation.h).
    static std::string DefaultModulePath();

    const PluginEntryPoints& Entries() const { return module.Entries(); }
    const StartupInfo& Startup() const { return binding.Startup(); }

private:
    PluginModule module;
    HostBinding binding;
};
