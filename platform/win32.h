// The one door to system services for the plug-in: the real Windows headers on
// Windows, our own layer elsewhere. Nothing above this file tests the platform.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#include <aclapi.h>
#else
#include "posix/Win32Functions.h"
#endif
