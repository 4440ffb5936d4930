// The account name of a SID, by the system's two-call size protocol.
#pragma once

#include "common/StringBase.h"
#include "platform/win32.h"

// Fills `account` and `domain` with the names of `sid` as seen from
// `systemName` (null: this machine). False when the system cannot name it;
// GetLastError then tells why. Throws kErrorBufferNotTerminated when the
// system hands back a name without its terminator.
bool LookupAccount(const char* systemName, PSID sid, CStringBase<char>& account,
                   CStringBase<char>& domain, SID_NAME_USE& use);

// Like LookupAccount on this machine, but only a SID without a name
// (ERROR_NONE_MAPPED) gives false; every other failure throws
// "LookupAccountSid".
bool LookupNamedAccount(PSID sid, CStringBase<char>& account, CStringBase<char>& domain);
