// What the panel tells the host about itself: 68 bytes, filled on request.
// The texts it points to belong to the panel and live as long as it does.
#pragma once

#include <cstddef>

#include "platform/win32.h"

struct OpenPluginInfo {
    int structSize;
    DWORD flags;
    const char* filePath;
    const char* innerPath;
    const char* pluginName;
    const char* panelTitle;
    DWORD hostWords[8];
    DWORD hostWord56;
    DWORD hostWord60;
    DWORD hostWord64;
};

static_assert(sizeof(OpenPluginInfo) == 68, "OpenPluginInfo is 68 bytes");
static_assert(offsetof(OpenPluginInfo, structSize) == 0, "OpenPluginInfo layout");
static_assert(offsetof(OpenPluginInfo, flags) == 4, "OpenPluginInfo layout");
static_assert(offsetof(OpenPluginInfo, filePath) == 8, "OpenPluginInfo layout");
static_assert(offsetof(OpenPluginInfo, innerPath) == 12, "OpenPluginInfo layout");
static_assert(offsetof(OpenPluginInfo, pluginName) == 16, "OpenPluginInfo layout");
static_assert(offsetof(OpenPluginInfo, panelTitle) == 20, "OpenPluginInfo layout");
static_assert(offsetof(OpenPluginInfo, hostWords) == 24, "OpenPluginInfo layout");
static_assert(offsetof(OpenPluginInfo, hostWord56) == 56, "OpenPluginInfo layout");
static_assert(offsetof(OpenPluginInfo, hostWord60) == 60, "OpenPluginInfo layout");
static_assert(offsetof(OpenPluginInfo, hostWord64) == 64, "OpenPluginInfo layout");
