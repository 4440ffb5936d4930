// Fault injection: tests make the n-th call of a layer function fail with a
// chosen error code, so every failure path above the layer runs for real.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/Win32Types.h"
#include "platform/posix/Win32Functions.h"

namespace mvx {

// The nth call from now (1 = the very next) of `function` fails with `error`.
WIN32_LAYER_API void InjectFault(const char* function, unsigned nth, DWORD error);
// The nth call from now of `function` first runs `action`, then goes on as
// usual: what another program does at that very moment (writes the file
// being copied, swaps a folder for a link).
WIN32_LAYER_API void InjectAction(const char* function, unsigned nth,
                                  std::function<void()> action);
// Forgets every pending fault and action and every call count.
WIN32_LAYER_API void ClearFaults();
// How often `function` was called since the last ClearFaults (0 before any).
WIN32_LAYER_API unsigned CallCount(const char* function);
// Every function called since the last ClearFaults with its call count, by
// name: what a sweep fails one call at a time.
WIN32_LAYER_API std::vector<std::pair<std::string, unsigned>> CalledFunctions();

// Called by every layer function on entry: counts the call and, when a fault is
// due, sets the last error and returns true; the function then fails at once.
// Calls are counted from the first InjectFault, InjectAction or ClearFaults.
WIN32_LAYER_API bool FaultHit(const char* function);

}  // namespace mvx
