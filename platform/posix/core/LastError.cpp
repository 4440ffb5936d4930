// The per-thread last error code, as each Windows thread has its own.
#include "platform/posix/Win32Functions.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

extern "C" DWORD WINAPI GetLastError() { return lastError; }

extern "C" void WINAPI SetLastError(DWORD code) { lastError = code; }
