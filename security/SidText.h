// A security identifier in its usual text form, "S-1-5-21-...": what the
// report shows for an account that has no name on this machine, such as the
// owner of a file on a disk from another one.
#pragma once

#include "common/StringBase.h"
#include "platform/win32.h"

// `sid` must be a valid SID, as the system hands them out.
CStringBase<char> SidText(PSID sid);
