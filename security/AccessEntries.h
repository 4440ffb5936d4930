// The text of one access list in the security report: seven lines for each
// entry, naming its trustee, its rights, its access mode and its inheritance,
// the last of them empty.
#pragma once

#include "common/StringBase.h"
#include "platform/win32.h"

// The entries of `acl` in list order; `isDirectory` picks the directory
// meaning of the specific rights. Throws "GetExplicitEntriesFromAcl" when the
// list cannot be expanded, and what naming a trustee throws.
CStringBase<char> EntriesText(PACL acl, bool isDirectory);
