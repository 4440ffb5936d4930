// The plug-in's two switches, kept in the registry under the host's settings
// key (HKEY_CURRENT_USER \ SettingsKeyPath) as 4-byte numbers, 1 or 0.
#pragma once

#include "hostapi/SwitchNames.h"

// Whether OpenFilePlugin accepts every file the host offers.
extern bool UsedByDefault;
// Whether an extracted security descriptor is written as a text report.
extern bool ParseSecurity;


// The stored switch, or `defaultValue` when the key or a 4-byte value is missing.
bool LoadSwitch(const char* valueName, bool defaultValue);
// Stores the switch, creating the key when missing. A refused write is
// silent: the switch keeps its new value for this session all the same.
void SaveSwitch(const char* valueName, bool on);

// Loads UsedByDefault, then ParseSecurity, each on unless stored otherwise.
void LoadSettings();
