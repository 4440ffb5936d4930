// Fault injection: tests make the n-th call of a layer function fail with a
// chosen error code, so every failure path above the layer runs for real.
#pragma once

#include "platform/posix/Win32Types.h"
#include "platform/posix/Win32Functions.h"

namespace mvx {

// The nth call from now (1 = the very next) of `function` fails with `error`.
WIN32_LAYER_API void InjectFault(const char* function, unsigned nth, DWORD error);
// Forgets every pending fault and every call count.
WIN32_LAYER_API void ClearFaults();
// How often `function` was called since the last ClearFaults.
WIN32_LAYER_API unsigned CallCount(const char* function);

// Called by every layer function on entry: counts the call and, when a fault is
// due, sets the last error and returns true; the function then fails at once.
WIN32_LAYER_API bool FaultHit(const char* function);

}  // namespace mvx
