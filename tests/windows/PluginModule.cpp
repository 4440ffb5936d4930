// The Windows side of host/module/PluginModule.h: the module is loaded as the host
// loads it, with LoadLibraryA, and each entry point is found by its plain name.
#include "host/module/PluginModule.h"

#include <stdexcept>

#include "host/module/EntryPointBinding.h"

namespace {

// Through void*, the one pointer type every function pointer converts to and
// back from on this target.
void* EntryPointOf(void* module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

}  // namespace

PluginModule::PluginModule(const std::string& modulePath)
    : path(modulePath), handle(LoadLibraryA(modulePath.c_str())), entries() {
    if (handle == nullptr) {
        throw std::runtime_error("cannot load plug-in module " + path + ": error " +
                                 std::to_string(GetLastError()));
    }
    try {
        entries = BindEntryPoints(
            path, [this](const char* name) { return EntryPointOf(handle, name); });
    } catch (...) {
        FreeLibrary(static_cast<HMODULE>(handle));
        throw;
    }
}

PluginModule::~PluginModule() {
    FreeLibrary(static_cast<HMODULE>(handle));
}
