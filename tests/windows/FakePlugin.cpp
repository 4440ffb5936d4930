// A stand-in plug-in: the thirteen entry points (and one name no plug-in
// exports) with the real argument counts but no work, linked in the ways a
// build can go wrong so that scripts/check-dll.sh must find each fault.
#include <windows.h>

#include <string>

extern "C" {

void WINAPI SetStartupInfo(const void*) {}
void WINAPI GetPluginInfo(void*) {}
HANDLE WINAPI OpenFilePlugin(const char*, const void*, int) { return INVALID_HANDLE_VALUE; }
HANDLE WINAPI OpenPlugin(int, INT_PTR) { return INVALID_HANDLE_VALUE; }
void WINAPI ClosePlugin(HANDLE) {}
int WINAPI GetFindData(HANDLE, void*, int*, int) { return 0; }
void WINAPI FreeFindData(HANDLE, void*, int) {}
void WINAPI GetOpenPluginInfo(HANDLE, void*) {}
int WINAPI GetFiles(HANDLE, void*, int, int, const char*, unsigned) { return 0; }
int WINAPI PutFiles(HANDLE, void*, int, int, unsigned) { return 0; }
int WINAPI DeleteFiles(HANDLE, void*, int, unsigned) { return 0; }
int WINAPI ProcessKey(HANDLE, int, unsigned) { return 0; }

// Uses the C++ runtime, so a build that links it as a DLL imports it.
int WINAPI Configure(int entryNumber) {
    return static_cast<int>(std::to_string(entryNumber).size());
}

int WINAPI Extra(int) { return 0; }
}
