// Names as a Linux user writes them. A user who gives the absolute Linux path
// of an existing file means that file, even where the Windows reading of the
// same text means another one ("/tmp/a:b" would be stream b of /tmp/a,
// "/tmp/x." the file /tmp/x).
#pragma once

#include "platform/posix/files/ResolvedName.h"

namespace mvx {

// As ResolveName, but a name that starts with '/' and names an existing entry
// exactly as it stands reaches that entry. False: the last error is set.
bool ResolveNameOrLinuxPath(LPCSTR name, ResolvedName& out);

}  // namespace mvx
