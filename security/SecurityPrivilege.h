// The process's security privilege, which lets it read audit lists.
#pragma once

// Tries to enable the privilege in the process's own token, where it then
// stays enabled for the life of the process. True only when the token holds
// the privilege and it is now enabled.
bool EnableSecurityPrivilege();
