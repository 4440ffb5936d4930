#include "host/module/EntryPointBinding.h"

#include <stdexcept>

namespace {

template <typename Function>
void Bind(const std::string& modulePath, const EntryPointLookup& lookup, const char* name,
          Function& entry) {
    void* symbol = lookup(name);
    if (symbol == nullptr)
        throw std::runtime_error("plug-in module " + modulePath + " has no entry point " + name);
    entry = reinterpret_cast<Function>(symbol);
}

}  // namespace

PluginEntryPoints BindEntryPoints(const std::string& modulePath, const EntryPointLookup& lookup) {
    PluginEntryPoints entries{};
    Bind(modulePath, lookup, "SetStartupInfo", entries.SetStartupInfo);
    Bind(modulePath, lookup, "GetPluginInfo", entries.GetPluginInfo);
    Bind(modulePath, lookup, "OpenFilePlugin", entries.OpenFilePlugin);
    Bind(modulePath, lookup, "OpenPlugin", entries.OpenPlugin);
    Bind(modulePath, lookup, "ClosePlugin", entries.ClosePlugin);
    Bind(modulePath, lookup, "GetFindData", entries.GetFindData);
    Bind(modulePath, lookup, "FreeFindData", entries.FreeFindData);
    Bind(modulePath, lookup, "GetOpenPluginInfo", entries.GetOpenPluginInfo);
    Bind(modulePath, lookup, "GetFiles", entries.GetFiles);
    Bind(modulePath, lookup, "PutFiles", entries.PutFiles);
    Bind(modulePath, lookup, "DeleteFiles", entries.DeleteFiles);
    Bind(modulePath, lookup, "ProcessKey", entries.ProcessKey);
    Bind(modulePath, lookup, "Configure", entries.Configure);
    return entries;
}
