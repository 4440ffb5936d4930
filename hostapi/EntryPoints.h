// The thirteen entry points the host calls, under their plain names. Every
// argument and result is 32 bits wide; a panel handle is the address of an
// open panel, or INVALID_HANDLE_VALUE for none.
#pragma once

#include "hostapi/HostRecords.h"
#include "hostapi/OpenPluginInfo.h"
#include "hostapi/PanelItem.h"
#include "hostapi/PluginInfo.h"
#include "platform/PluginExport.h"
#include "platform/win32.h"

extern "C" {

PLUGIN_EXPORT void WINAPI SetStartupInfo(const StartupInfo* info);
PLUGIN_EXPORT void WINAPI GetPluginInfo(PluginInfo* info);
PLUGIN_EXPORT HANDLE WINAPI OpenFilePlugin(const char* name, const unsigned char* data,
                                           int dataSize);
PLUGIN_EXPORT HANDLE WINAPI OpenPlugin(int openFrom, INT_PTR argument);
PLUGIN_EXPORT void WINAPI ClosePlugin(HANDLE panel);
PLUGIN_EXPORT int WINAPI GetFindData(HANDLE panel, PanelItem** items, int* itemCount,
                                     int opMode);
PLUGIN_EXPORT void WINAPI FreeFindData(HANDLE panel, PanelItem* items, int itemCount);
PLUGIN_EXPORT void WINAPI GetOpenPluginInfo(HANDLE panel, OpenPluginInfo* info);
PLUGIN_EXPORT int WINAPI GetFiles(HANDLE panel, PanelItem* items, int itemCount, int move,
                                  const char* destPath, unsigned opMode);
PLUGIN_EXPORT int WINAPI PutFiles(HANDLE panel, PanelItem* items, int itemCount, int move,
                                  unsigned opMode);
PLUGIN_EXPORT int WINAPI DeleteFiles(HANDLE panel, PanelItem* items, int itemCount,
                                     unsigned opMode);
PLUGIN_EXPORT int WINAPI ProcessKey(HANDLE panel, int key, unsigned controlState);
PLUGIN_EXPORT int WINAPI Configure(int entryNumber);
}
