#include "host/settings/StoredSwitches.h"

#include "hostapi/SwitchNames.h"
#include "platform/win32.h"

namespace {

// As the plug-in reads a switch: four bytes, on when not zero.
std::optional<bool> ReadSwitch(HKEY key, const char* valueName) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        size != sizeof(value))
        return std::nullopt;
    return value != 0;
}

}  // namespace

StoredSwitches ReadStoredSwitches(const std::string& rootKeyPath) {
    StoredSwitches stored;
    HKEY key = nullptr;
    const std::string path = rootKeyPath + '\\' + kPluginName;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return stored;
    stored.usedByDefault = ReadSwitch(key, kUsedByDefaultValue);
    stored.parseSecurity = ReadSwitch(key, kParseSecurityValue);
    RegCloseKey(key);
    return stored;
}
