#include "hostapi/HostServices.h"

#include "hostapi/PluginName.h"

HostServices g_HostServices;

// A service the host left out answers as the host would when it refuses:
// the plug-in goes on without it rather than calling through null.

void HostServices::Assign(const StartupInfo& info) {
    startup = info;
    SettingsKeyPath = info.rootKeyPath != nullptr ? info.rootKeyPath : "";
    SettingsKeyPath.Append('\\');
    SettingsKeyPath.Append(kPluginName);
}

const char* HostServices::MessageText(int message) const {
    const char* text = nullptr;
    if (startup.HostMessageText != nullptr)
        text = startup.HostMessageText(startup.moduleNumber, message);
    return text != nullptr ? text : "";
}

int HostServices::ShowMessageBox(unsigned flags, const char* helpTopic, const char* const* lines,
                                 int lineCount, int buttonCount) const {
    if (startup.HostMessageBox == nullptr)
        return -1;
    return startup.HostMessageBox(startup.moduleNumber, flags, helpTopic, lines, lineCount,
                                  buttonCount);
}

int HostServices::Dialog(const char* helpTopic, HostDialogItem* items, int count) const {
    if (startup.HostDialog == nullptr)
        return -1;
    return startup.HostDialog(startup.moduleNumber, -1, -1, 76, 8, helpTopic, items, count);
}

int HostServices::PanelControl(HANDLE panel, int command, void* param) const {
    if (startup.HostPanelControl == nullptr)
        return 0;
    return startup.HostPanelControl(panel, command, param);
}

HANDLE HostServices::ScreenSave() const {
    if (startup.HostScreenSave == nullptr)
        return nullptr;
    return startup.HostScreenSave(0, 0, -1, -1);
}

void HostServices::ScreenRestore(HANDLE screen) const {
    if (startup.HostScreenRestore != nullptr)
        startup.HostScreenRestore(screen);
}
