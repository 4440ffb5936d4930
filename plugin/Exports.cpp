#include "hostapi/EntryPoints.h"

#include "hostapi/HostServices.h"
#include "plugin/ConfigureDialog.h"
#include "plugin/ErrorFunnel.h"
#include "plugin/FillPluginInfo.h"
#include "plugin/OpenPath.h"
#include "plugin/Settings.h"
#include "streams/StreamPanel.h"
#include "transfer/DeleteStreams.h"
#include "transfer/ExtractStreams.h"
#include "transfer/WriteStreams.h"

namespace {

StreamPanel* PanelOf(HANDLE panel) {
    return static_cast<StreamPanel*>(panel);
}

}  // namespace

extern "C" {

PLUGIN_EXPORT void WINAPI SetStartupInfo(const StartupInfo* info) {
    ErrorFunnel("SetStartupInfo", [&] {
        if (info == nullptr)
            return;
        g_HostServices.Assign(*info);
        LoadSettings();
    });
}

PLUGIN_EXPORT void WINAPI GetPluginInfo(PluginInfo* info) {
    ErrorFunnel("GetPluginInfo", [&] { FillPluginInfo(*info); });
}

PLUGIN_EXPORT HANDLE WINAPI OpenFilePlugin(const char* name, const unsigned char*, int) {
    return ErrorFunnel("OpenFilePlugin", INVALID_HANDLE_VALUE,
                       [&] { return OpenFromHostFile(name); });
}

PLUGIN_EXPORT HANDLE WINAPI OpenPlugin(int openFrom, INT_PTR argument) {
    return ErrorFunnel("OpenPlugin", INVALID_HANDLE_VALUE,
                       [&] { return OpenFromPluginEntry(openFrom, argument); });
}

PLUGIN_EXPORT void WINAPI ClosePlugin(HANDLE panel) {
    // A host that closes its "no panel" value must not make us free it.
    ErrorFunnel("ClosePlugin", [&] {
        if (panel != nullptr && panel != INVALID_HANDLE_VALUE)
            delete PanelOf(panel);
    });
}

PLUGIN_EXPORT int WINAPI GetFindData(HANDLE panel, PanelItem** items, int* itemCount,
                                     int opMode) {
    return ErrorFunnel("GetFindData", 0,
                       [&] { return PanelOf(panel)->GetFindData(items, itemCount, opMode); });
}

PLUGIN_EXPORT void WINAPI FreeFindData(HANDLE, PanelItem* items, int itemCount) {
    ErrorFunnel("FreeFindData", [&] { StreamPanel::FreeFindData(items, itemCount); });
}

PLUGIN_EXPORT void WINAPI GetOpenPluginInfo(HANDLE panel, OpenPluginInfo* info) {
    ErrorFunnel("GetOpenPluginInfo", [&] { PanelOf(panel)->GetOpenPluginInfo(info); });
}

PLUGIN_EXPORT int WINAPI GetFiles(HANDLE panel, PanelItem* items, int itemCount, int move,
                                  const char* destinationPath, unsigned opMode) {
    return ErrorFunnel("GetFiles", 0, [&] {
        return ExtractStreams(*PanelOf(panel), items, itemCount, move, destinationPath, opMode,
                              ParseSecurity);
    });
}

PLUGIN_EXPORT int WINAPI PutFiles(HANDLE panel, PanelItem* items, int itemCount, int move,
                                  unsigned opMode) {
    return ErrorFunnel("PutFiles", 0, [&] {
        return WriteStreams(*PanelOf(panel), items, itemCount, move, opMode);
    });
}

PLUGIN_EXPORT int WINAPI DeleteFiles(HANDLE panel, PanelItem* items, int itemCount,
                                     unsigned opMode) {
    return ErrorFunnel("DeleteFiles", 0, [&] {
        return DeleteStreams(*PanelOf(panel), items, itemCount, opMode);
    });
}

PLUGIN_EXPORT int WINAPI ProcessKey(HANDLE, int, unsigned) {
    // The plug-in handles no key; every key is the host's.
    return ErrorFunnel("ProcessKey", 0, [] { return 0; });
}

PLUGIN_EXPORT int WINAPI Configure(int) {
    return ErrorFunnel("Configure", 0, [] { return RunConfigureDialog(); });
}
}
