// A plug-in module loaded from its file, with its thirteen entry points bound
// by their plain names. Unloads the module when destroyed.
#pragma once

#include <string>

#include "hostapi/EntryPoints.h"

struct PluginEntryPoints {
    decltype(&::SetStartupInfo) SetStartupInfo;
    decltype(&::GetPluginInfo) GetPluginInfo;
    decltype(&::OpenFilePlugin) OpenFilePlugin;
    decltype(&::OpenPlugin) OpenPlugin;
    decltype(&::ClosePlugin) ClosePlugin;
    decltype(&::GetFindData) GetFindData;
    decltype(&::FreeFindData) FreeFindData;
    decltype(&::GetOpenPluginInfo) GetOpenPluginInfo;
    decltype(&::GetFiles) GetFiles;
    decltype(&::PutFiles) PutFiles;
    decltype(&::DeleteFiles) DeleteFiles;
    decltype(&::ProcessKey) ProcessKey;
    decltype(&::Configure) Configure;
};

class PluginModule {
public:
    // Throws std::runtime_error when the module cannot be loaded or lacks an
    // entry point; the message names the module and the missing entry point.
    explicit PluginModule(const std::string& modulePath);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const PluginEntryPoints& Entries() const { return entries; }
    const std::string& Path() const { return path; }

private:
    std::string path;
    void* handle;
    PluginEntryPoints entries;
};
