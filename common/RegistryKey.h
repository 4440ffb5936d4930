// Owner of one open registry key. Operations return the system's error code.
#pragma once

#include "platform/win32.h"

class CRegistryKey {
public:
    CRegistryKey() = default;
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;
    ~CRegistryKey() { Close(); }

    // Create and Open keep the key held so far when they fail. On success
    // they hold the new key and return the code of closing the old one.
    LONG Create(HKEY parent, const char* subKey, LPSTR className, DWORD options, REGSAM access,
                LPSECURITY_ATTRIBUTES security, DWORD* disposition);
    LONG Open(HKEY parent, const char* subKey, REGSAM access);
    LONG Close();

    LONG SetValue(const char* valueName, DWORD value);
    LONG SetBool(const char* valueName, bool value);
    // On failure `value` keeps what it held.
    LONG QueryValue(const char* valueName, DWORD& value);
    LONG QueryBool(const char* valueName, bool& value);

    HKEY Handle() const { return key; }

private:
    LONG Hold(HKEY newKey);

    HKEY key = nullptr;
};
