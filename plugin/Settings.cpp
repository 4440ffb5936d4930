#include "plugin/Settings.h"

#include "common/RegistryKey.h"
#include "hostapi/HostServices.h"

// Off until SetStartupInfo has read the registry: before that the plug-in
// does not know its settings key, and opening nothing is the safe choice.
bool UsedByDefault = false;
bool ParseSecurity = false;

bool LoadSwitch(const char* valueName, bool defaultValue) {
    // The settings have always been opened with full access, also for reading.
    CRegistryKey key;
    if (key.Open(HKEY_CURRENT_USER, g_HostServices.SettingsKeyPath.Ptr(), KEY_ALL_ACCESS) !=
        ERROR_SUCCESS)
        return defaultValue;
    bool value = defaultValue;
    if (key.QueryBool(valueName, value) != ERROR_SUCCESS)
        return defaultValue;
    return value;
}

void SaveSwitch(const char* valueName, bool on) {
    CRegistryKey key;
    if (key.Create(HKEY_CURRENT_USER, g_HostServices.SettingsKeyPath.Ptr(), nullptr, 0,
                   KEY_ALL_ACCESS, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    key.SetBool(valueName, on);
}

void LoadSettings() {
    UsedByDefault = LoadSwitch(kUsedByDefaultValue, true);
    ParseSecurity = LoadSwitch(kParseSecurityValue, true);
}
