// Whether SeSecurityPrivilege is enabled in this process's token: it lets
// GetFileSecurityA and BackupRead hand out audit lists (SACLs). Off until
// the token functions enable it; tests switch it directly.
#pragma once

#include "platform/posix/Win32Functions.h"

namespace mvx {

WIN32_LAYER_API bool SecurityPrivilegeEnabled();
WIN32_LAYER_API void SetSecurityPrivilegeEnabled(bool enabled);

}  // namespace mvx
