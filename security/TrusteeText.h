// How the security report names the trustee of an access entry.
#pragma once

#include "common/StringBase.h"
#include "platform/win32.h"

// The account of a SID as "DOMAIN\name" (the name alone when the domain is
// empty), or the SID's text form when it has no name. Other lookup failures
// throw "LookupAccountSid".
CStringBase<char> AccountText(PSID sid);

// A trustee given as a SID is named as AccountText does; one given by name
// shows that name, cut to kMaxTrusteeNameLength characters. Any other form
// is "Unknown".
CStringBase<char> TrusteeText(const TRUSTEE_A& trustee);

// Longer than any domain and account name together.
constexpr int kMaxTrusteeNameLength = 512;
