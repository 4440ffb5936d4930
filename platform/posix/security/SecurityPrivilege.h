// Whether SeSecurityPrivilege is enabled in this process's token: it lets
// GetFileSecurityA and BackupRead hand out audit lists (SACLs). The token
// holds it when the process runs as root; it is off until
// AdjustTokenPrivileges enables it, and then stays on for the process.
// Tests switch it directly.
#pragma once

#include "platform/posix/Win32Functions.h"

namespace mvx {

WIN32_LAYER_API bool SecurityPrivilegeEnabled();
WIN32_LAYER_API void SetSecurityPrivilegeEnabled(bool enabled);

// Whether the token holds the privilege, so that it can be enabled.
bool SecurityPrivilegeHeld();

// While refused, the token does not hold the privilege even for root, so
// tests run the refusal everywhere; refusing also disables it.
WIN32_LAYER_API void SetSecurityPrivilegeRefused(bool refused);

}  // namespace mvx
