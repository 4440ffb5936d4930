#include "common/RegistryKey.h"

LONG CRegistryKey::Create(HKEY parent, const char* subKey, LPSTR className, DWORD options,
                          REGSAM access, LPSECURITY_ATTRIBUTES security, DWORD* disposition) {
    HKEY created = nullptr;
    LONG result = RegCreateKeyExA(parent, subKey, 0, className, options, access, security,
                                  &created, disposition);
    if (result != ERROR_SUCCESS)
        return result;
    return Hold(created);
}

LONG CRegistryKey::Open(HKEY parent, const char* subKey, REGSAM access) {
    HKEY opened = nullptr;
    LONG result = RegOpenKeyExA(parent, subKey, 0, access, &opened);
    if (result != ERROR_SUCCESS)
        return result;
    return Hold(opened);
}

LONG CRegistryKey::Hold(HKEY newKey) {
    LONG result = Close();
    key = newKey;
    return result;
}

LONG CRegistryKey::Close() {
    if (key == nullptr)
        return ERROR_SUCCESS;
    LONG result = RegCloseKey(key);
    key = nullptr;
    return result;
}

LONG CRegistryKey::SetValue(const char* valueName, DWORD value) {
    return RegSetValueExA(key, valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value));
}

LONG CRegistryKey::SetBool(const char* valueName, bool value) {
    return SetValue(valueName, value ? 1 : 0);
}

LONG CRegistryKey::QueryValue(const char* valueName, DWORD& value) {
    // The system may scribble on the data of a failed query.
    DWORD data = value;
    DWORD type = REG_NONE;
    DWORD size = sizeof(data);
    LONG result =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (result == ERROR_SUCCESS)
        value = data;
    return result;
}

LONG CRegistryKey::QueryBool(const char* valueName, bool& value) {
    DWORD data = value ? 1 : 0;
    LONG result = QueryValue(valueName, data);
    value = data != 0;
    return result;
}
