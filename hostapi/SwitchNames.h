// Where the plug-in's two switches are stored, as anyone reading them needs to
// know: HKEY_CURRENT_USER \ the host's root key path \ kPluginName, as 4-byte
// numbers under these value names.
#pragma once

#include "hostapi/PluginName.h"

inline constexpr char kUsedByDefaultValue[] = "UsedByDefault";
inline constexpr char kParseSecurityValue[] = "ParseSecurity";
