// What a file replaced by a rename keeps, as it would had it been written in
// place: its mode, its owner (where the process may give it) and its extended
// attributes, its named streams among them.
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>

namespace mvx {

// Gives `replacement` the traits of the existing regular file `original`.
// NO_ERROR, or the error when its mode or one of its streams (user.*) cannot
// be carried over; its access ACL and security label are carried where the
// system lets this process set them, its file capabilities never.
DWORD KeepTraits(const std::string& original, const std::string& replacement);

}  // namespace mvx
