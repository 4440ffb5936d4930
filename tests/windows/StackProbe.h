// Measures whether a function removed its own arguments from the stack, as
// every entry point and host service of the plug-in must (__stdcall). A
// compiler-made call cannot tell: it trusts the pointer's type.
#pragma once

#include <windows.h>

// Calls `function` with the 32-bit `arguments` (the first one nearest the
// return address) and returns how many bytes of them were left on the stack:
// 0 when the function removed them (__stdcall), 4 * count when it left them to
// the caller (__cdecl). The stack is restored either way. `result` gets EAX.
int StackDriftOfCall(const void* function, const DWORD* arguments, int count, DWORD& result);
