// The plug-in's two switches as the registry holds them, read through the
// system's registry functions at the key and under the value names the
// plug-in writes: HKEY_CURRENT_USER \ the host's root key path \ MORVEX.
#pragma once

#include <optional>
#include <string>

struct StoredSwitches {
    // None when the key or a 4-byte value cannot be read.
    std::optional<bool> usedByDefault;
    std::optional<bool> parseSecurity;
};

StoredSwitches ReadStoredSwitches(const std::string& rootKeyPath);
