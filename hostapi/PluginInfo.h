// What the plug-in announces to the host: 40 bytes, filled by GetPluginInfo.
#pragma once

#include <cstddef>

#include "platform/win32.h"

struct PluginInfo {
    int structSize;
    DWORD flags;
    DWORD notUsed8;
    DWORD notUsed12;
    DWORD notUsed16;
    const char* const* menuNames;
    int menuNameCount;
    const char* const* configNames;
    int configNameCount;
    const char* commandPrefix;
};

static_assert(sizeof(PluginInfo) == 40, "PluginInfo is 40 bytes");
static_assert(offsetof(PluginInfo, structSize) == 0, "PluginInfo layout");
static_assert(offsetof(PluginInfo, flags) == 4, "PluginInfo layout");
static_assert(offsetof(PluginInfo, notUsed8) == 8, "PluginInfo layout");
static_assert(offsetof(PluginInfo, notUsed12) == 12, "PluginInfo layout");
static_assert(offsetof(PluginInfo, notUsed16) == 16, "PluginInfo layout");
static_assert(offsetof(PluginInfo, menuNames) == 20, "PluginInfo layout");
static_assert(offsetof(PluginInfo, menuNameCount) == 24, "PluginInfo layout");
static_assert(offsetof(PluginInfo, configNames) == 28, "PluginInfo layout");
static_assert(offsetof(PluginInfo, configNameCount) == 32, "PluginInfo layout");
static_assert(offsetof(PluginInfo, commandPrefix) == 36, "PluginInfo layout");
