#include "tests/windows/ProbedPlugin.h"

namespace {

enum Entry {
    kSetStartupInfo,
    kGetPluginInfo,
    kOpenFilePlugin,
    kOpenPlugin,
    kClosePlugin,
    kGetFindData,
    kFreeFindData,
    kGetOpenPluginInfo,
    kGetFiles,
    kPutFiles,
    kDeleteFiles,
    kProcessKey,
    kConfigure,
    kEntryCount
};

const char* const kEntryNames[kEntryCount] = {
    "SetStartupInfo", "GetPluginInfo", "OpenFilePlugin",    "OpenPlugin", "ClosePlugin",
    "GetFindData",    "FreeFindData",  "GetOpenPluginInfo", "GetFiles",   "PutFiles",
    "DeleteFiles",    "ProcessKey",    "Configure"};

}  // namespace

ProbedPlugin::ProbedPlugin(const std::string& path) : module(path) {
    for (const char* name : kEntryNames)
        records.push_back({name, 0, 0, 0, 0});
}

HMODULE ProbedPlugin::Module() const {
    HMODULE handle = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(module.Entries().SetStartupInfo), &handle);
    return handle;
}

void ProbedPlugin::Note(int entry, int argumentCount, int drift) {
    StackRecord& record = records[static_cast<size_t>(entry)];
    record.argumentCount = argumentCount;
    ++record.calls;
    if (drift != 0) {
        ++record.driftedCalls;
        record.lastDrift = drift;
    }
}

void ProbedPlugin::SetStartupInfo(const StartupInfo* info) {
    Call(kSetStartupInfo, module.Entries().SetStartupInfo, info);
}

void ProbedPlugin::GetPluginInfo(PluginInfo* info) {
    Call(kGetPluginInfo, module.Entries().GetPluginInfo, info);
}

HANDLE ProbedPlugin::OpenFilePlugin(const char* name, const unsigned char* data, int dataSize) {
    return FromWord<HANDLE>(
        Call(kOpenFilePlugin, module.Entries().OpenFilePlugin, name, data, dataSize));
}

HANDLE ProbedPlugin::OpenPlugin(int openFrom, INT_PTR argument) {
    return FromWord<HANDLE>(Call(kOpenPlugin, module.Entries().OpenPlugin, openFrom, argument));
}

void ProbedPlugin::ClosePlugin(HANDLE panel) {
    Call(kClosePlugin, module.Entries().ClosePlugin, panel);
}

int ProbedPlugin::GetFindData(HANDLE panel, PanelItem** items, int* itemCount, int opMode) {
    return FromWord<int>(
        Call(kGetFindData, module.Entries().GetFindData, panel, items, itemCount, opMode));
}

void ProbedPlugin::FreeFindData(HANDLE panel, PanelItem* items, int itemCount) {
    Call(kFreeFindData, module.Entries().FreeFindData, panel, items, itemCount);
}

void ProbedPlugin::GetOpenPluginInfo(HANDLE panel, OpenPluginInfo* info) {
    Call(kGetOpenPluginInfo, module.Entries().GetOpenPluginInfo, panel, info);
}

int ProbedPlugin::GetFiles(HANDLE panel, PanelItem* items, int itemCount, int move,
                           const char* destinationPath, unsigned opMode) {
    return FromWord<int>(Call(kGetFiles, module.Entries().GetFiles, panel, items, itemCount,
                              move, destinationPath, opMode));
}

int ProbedPlugin::PutFiles(HANDLE panel, PanelItem* items, int itemCount, int move,
                           unsigned opMode) {
    return FromWord<int>(
        Call(kPutFiles, module.Entries().PutFiles, panel, items, itemCount, move, opMode));
}

int ProbedPlugin::DeleteFiles(HANDLE panel, PanelItem* items, int itemCount, unsigned opMode) {
    return FromWord<int>(
        Call(kDeleteFiles, module.Entries().DeleteFiles, panel, items, itemCount, opMode));
}

int ProbedPlugin::ProcessKey(HANDLE panel, int key, unsigned controlState) {
    return FromWord<int>(
        Call(kProcessKey, module.Entries().ProcessKey, panel, key, controlState));
}

int ProbedPlugin::Configure(int entryNumber) {
    return FromWord<int>(Call(kConfigure, module.Entries().Configure, entryNumber));
}
