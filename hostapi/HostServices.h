// The plug-in's one way to the host: the copy of the host's StartupInfo and
// the registry key of the plug-in's settings, module-wide from load to unload.
#pragma once

#include "common/StringBase.h"
#include "hostapi/HostRecords.h"

class HostServices {
public:
    // Replaces the copied record and rebuilds SettingsKeyPath from its root.
    void Assign(const StartupInfo& info);

    // The text of message `message` of this module; never null, so a host
    // without a text for a number costs an empty line, not a crash.
    const char* MessageText(int message) const;
    int ShowMessageBox(unsigned flags, const char* helpTopic, const char* const* lines,
                       int lineCount, int buttonCount) const;
    // Every dialog of the plug-in is centred by the host in a 76 x 8 extent.
    int Dialog(const char* helpTopic, HostDialogItem* items, int count) const;
    int PanelControl(HANDLE panel, int command, void* param) const;
    HANDLE ScreenSave() const;
    void ScreenRestore(HANDLE screen) const;

    StartupInfo startup = {};
    // The host's root key path, "\" and the plug-in's name.
    CStringBase<char> SettingsKeyPath;
};

extern HostServices g_HostServices;
