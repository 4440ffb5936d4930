#include "host/module/PluginModule.h"

#include <dlfcn.h>

#include <stdexcept>

#include "host/module/EntryPointBinding.h"

PluginModule::PluginModule(const std::string& modulePath)
    : path(modulePath), handle(dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL)), entries() {
    if (handle == nullptr) {
        const char* reason = dlerror();
        throw std::runtime_error("cannot load plug-in module " + path + ": " +
                                 (reason != nullptr ? reason : "unknown reason"));
    }
    try {
        entries = BindEntryPoints(path, [this](const char* name) { return dlsym(handle, name); });
    } catch (...) {
        dlclose(handle);
        throw;
    }
}

PluginModule::~PluginModule() {
    dlclose(handle);
}
