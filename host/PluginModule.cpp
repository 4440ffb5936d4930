#include "host/PluginModule.h"

#include <dlfcn.h>

#include <stdexcept>

PluginModule::PluginModule(const std::string& modulePath)
    : path(modulePath), handle(dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL)), entries() {
    if (handle == nullptr) {
        const char* reason = dlerror();
        throw std::runtime_error("cannot load plug-in module " + path + ": " +
                                 (reason != nullptr ? reason : "unknown reason"));
    }
    try {
        Bind("SetStartupInfo", entries.SetStartupInfo);
        Bind("GetPluginInfo", entries.GetPluginInfo);
        Bind("OpenFilePlugin", entries.OpenFilePlugin);
        Bind("OpenPlugin", entries.OpenPlugin);
        Bind("ClosePlugin", entries.ClosePlugin);
        Bind("GetFindData", entries.GetFindData);
        Bind("FreeFindData", entries.FreeFindData);
        Bind("GetOpenPluginInfo", entries.GetOpenPluginInfo);
        Bind("GetFiles", entries.GetFiles);
        Bind("PutFiles", entries.PutFiles);
        Bind("DeleteFiles", entries.DeleteFiles);
        Bind("ProcessKey", entries.ProcessKey);
        Bind("Configure", entries.Configure);
    } catch (...) {
        dlclose(handle);
        throw;
    }
}

PluginModule::~PluginModule() {
    dlclose(handle);
}

template <typename Function>
void PluginModule::Bind(const char* name, Function& entry) {
    void* symbol = dlsym(handle, name);
    if (symbol == nullptr)
        throw std::runtime_error("plug-in module " + path + " has no entry point " + name);
    entry = reinterpret_cast<Function>(symbol);
}
