// For the morvex program on Linux, beside the seam: what the Win32 layer finds
// when it reads the registry file that holds HKEY_CURRENT_USER. The plug-in
// never calls this; to it the registry is the Win32 registry functions alone,
// which fall back on nothing and say nothing of lines they could not read.
#pragma once

#include "platform/win32.h"

#include <cstddef>
#include <string>
#include <vector>

namespace mvx {

// A line of the file that was not read, and is kept as it is; `line` counts
// from 1.
struct RegistryFileNotice {
    std::size_t line;
    std::string what;
};

struct RegistryFileCheck {
    std::string path;  // empty when no home is known to put the file in
    // ERROR_SUCCESS when the file was read or is missing; otherwise the code
    // every registry function fails with while the file stays as it is.
    LONG code;
    std::vector<RegistryFileNotice> notices;
};

// Reads the file as the registry functions read it now.
WIN32_LAYER_API RegistryFileCheck CheckRegistryFile();

}  // namespace mvx
