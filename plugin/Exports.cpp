#include "plugin/Exports.h"

#include "plugin/ErrorFunnel.h"
#include "plugin/HostServices.h"

extern "C" {

PLUGIN_EXPORT void WINAPI SetStartupInfo(const StartupInfo* info) {
    ErrorFunnel("SetStartupInfo", [&] {
        if (info != nullptr)
            g_HostServices.Assign(*info);
    });
}

PLUGIN_EXPORT void WINAPI GetPluginInfo(PluginInfo* info) {
    ErrorFunnel("GetPluginInfo", [&] { FillPluginInfo(*info); });
}

PLUGIN_EXPORT HANDLE WINAPI OpenFilePlugin(const char*, const unsigned char*, int) {
    // The open path comes with the stream panel.
    return ErrorFunnel("OpenFilePlugin", INVALID_HANDLE_VALUE, [] { return INVALID_HANDLE_VALUE; });
}

PLUGIN_EXPORT HANDLE WINAPI OpenPlugin(int, INT_PTR) {
    // The open path comes with the stream panel.
    return ErrorFunnel("OpenPlugin", INVALID_HANDLE_VALUE, [] { return INVALID_HANDLE_VALUE; });
}

PLUGIN_EXPORT void WINAPI ClosePlugin(HANDLE) {
    ErrorFunnel("ClosePlugin", [] {});  // no panel can be open yet
}

PLUGIN_EXPORT int WINAPI GetFindData(HANDLE, PanelItem**, int*, int) {
    return ErrorFunnel("GetFindData", 0, [] { return 0; });  // stream panel to come
}

PLUGIN_EXPORT void WINAPI FreeFindData(HANDLE, PanelItem*, int) {
    ErrorFunnel("FreeFindData", [] {});  // stream panel to come
}

PLUGIN_EXPORT void WINAPI GetOpenPluginInfo(HANDLE, OpenPluginInfo*) {
    ErrorFunnel("GetOpenPluginInfo", [] {});  // stream panel to come
}

PLUGIN_EXPORT int WINAPI GetFiles(HANDLE, PanelItem*, int, int, const char*, unsigned) {
    return ErrorFunnel("GetFiles", 0, [] { return 0; });  // extraction to come
}

PLUGIN_EXPORT int WINAPI PutFiles(HANDLE, PanelItem*, int, int, unsigned) {
    return ErrorFunnel("PutFiles", 0, [] { return 0; });  // writing streams to come
}

PLUGIN_EXPORT int WINAPI DeleteFiles(HANDLE, PanelItem*, int, unsigned) {
    return ErrorFunnel("DeleteFiles", 0, [] { return 0; });  // deleting streams to come
}

PLUGIN_EXPORT int WINAPI ProcessKey(HANDLE, int, unsigned) {
    // The plug-in handles no key; every key is the host's.
    return ErrorFunnel("ProcessKey", 0, [] { return 0; });
}

PLUGIN_EXPORT int WINAPI Configure(int) {
    return ErrorFunnel("Configure", 0, [] { return 0; });  // settings to come
}
}
