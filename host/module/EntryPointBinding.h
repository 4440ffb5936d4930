// The thirteen entry points of a plug-in module, found by their plain names
// through whatever the platform looks symbols up with (dlsym, GetProcAddress).
#pragma once

#include <functional>
#include <string>

#include "host/module/PluginModule.h"

// The address of the entry point `name`; null when the module has none.
using EntryPointLookup = std::function<void*(const char* name)>;

// Every entry point of the module at `modulePath`. Throws std::runtime_error
// naming the module and the first entry point it lacks.
PluginEntryPoints BindEntryPoints(const std::string& modulePath, const EntryPointLookup& lookup);
