// Test control of the version GetVersionExA reports (Windows NT 10.0 build
// 19045 until a test says otherwise). Its failure comes through fault
// injection ("GetVersionExA").
#pragma once

#include "platform/posix/Win32Functions.h"

namespace mvx {

// The next answers report this platform and version, with build number 0.
WIN32_LAYER_API void SetVersionAnswer(DWORD platformId, DWORD major, DWORD minor);
WIN32_LAYER_API void ResetVersionAnswer();

}  // namespace mvx
