// The Win32 functions the plug-in calls, as the Linux layer provides them.
// Each behaves as its Windows namesake: same results, same GetLastError codes.
#pragma once

#include "platform/posix/Win32Types.h"

#include <cstdarg>

#if defined(MORVEX_WIN32_BUILDING)
#define WIN32_LAYER_API __attribute__((visibility("default")))
#else
#define WIN32_LAYER_API
#endif

extern "C" {

// Errors.
WIN32_LAYER_API DWORD WINAPI GetLastError();
WIN32_LAYER_API void WINAPI SetLastError(DWORD code);

// Code pages.
WIN32_LAYER_API UINT WINAPI GetACP();
WIN32_LAYER_API UINT WINAPI GetOEMCP();
WIN32_LAYER_API BOOL WINAPI IsDBCSLeadByte(BYTE testChar);
WIN32_LAYER_API BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE testChar);
WIN32_LAYER_API LPSTR WINAPI CharNextA(LPCSTR current);
WIN32_LAYER_API int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte,
                                               int multiByteCount, LPWSTR wide, int wideCount);
WIN32_LAYER_API int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide,
                                               int wideCount, LPSTR multiByte,
                                               int multiByteCount, LPCSTR defaultChar,
                                               LPBOOL usedDefaultChar);

// Files.
WIN32_LAYER_API HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD shareMode,
                                          LPSECURITY_ATTRIBUTES security, DWORD disposition,
                                          DWORD flagsAndAttributes, HANDLE templateFile);
WIN32_LAYER_API BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD read,
                                     void* overlapped);
WIN32_LAYER_API BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD written,
                                      void* overlapped);
WIN32_LAYER_API DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh);
WIN32_LAYER_API BOOL WINAPI GetFileInformationByHandle(HANDLE file,
                                                       LPBY_HANDLE_FILE_INFORMATION information);
WIN32_LAYER_API DWORD WINAPI GetFileType(HANDLE file);
WIN32_LAYER_API BOOL WINAPI CloseHandle(HANDLE object);
WIN32_LAYER_API HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES security, BOOL initialOwner,
                                           LPCSTR name);
WIN32_LAYER_API DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds);
WIN32_LAYER_API BOOL WINAPI ReleaseMutex(HANDLE mutex);
// The handler runs inside the signal handler here, not on a thread of its
// own as on Windows: it may only do what a signal handler may (unlink, rmdir).
// It is called once the layer's temporaries are gone; a handler that takes
// the event keeps the process going, and a write then in flight fails.
WIN32_LAYER_API BOOL WINAPI SetConsoleCtrlHandler(PHANDLER_ROUTINE handler, BOOL add);
WIN32_LAYER_API HANDLE WINAPI FindFirstFileA(LPCSTR name, LPWIN32_FIND_DATAA findData);
WIN32_LAYER_API BOOL WINAPI FindClose(HANDLE find);
WIN32_LAYER_API DWORD WINAPI GetFullPathNameA(LPCSTR name, DWORD bufferLength, LPSTR buffer,
                                              LPSTR* filePart);
WIN32_LAYER_API BOOL WINAPI CopyFileA(LPCSTR existing, LPCSTR newName, BOOL failIfExists);
WIN32_LAYER_API BOOL WINAPI CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES security);
WIN32_LAYER_API BOOL WINAPI DeleteFileA(LPCSTR name);
WIN32_LAYER_API BOOL WINAPI MoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags);
WIN32_LAYER_API BOOL WINAPI ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup,
                                         DWORD flags, LPVOID exclude, LPVOID reserved);
WIN32_LAYER_API BOOL WINAPI SetFileAttributesA(LPCSTR name, DWORD attributes);
WIN32_LAYER_API BOOL WINAPI SetCurrentDirectoryA(LPCSTR name);

// Backup reading.
WIN32_LAYER_API BOOL WINAPI BackupRead(HANDLE file, LPBYTE buffer, DWORD count, LPDWORD read,
                                       BOOL abort, BOOL processSecurity, LPVOID* context);
WIN32_LAYER_API BOOL WINAPI BackupSeek(HANDLE file, DWORD lowBytesToSeek, DWORD highBytesToSeek,
                                       LPDWORD lowBytesSeeked, LPDWORD highBytesSeeked,
                                       LPVOID* context);

// System.
WIN32_LAYER_API BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info);
WIN32_LAYER_API HANDLE WINAPI GetCurrentProcess();
WIN32_LAYER_API HLOCAL WINAPI LocalFree(HLOCAL memory);
WIN32_LAYER_API DWORD WINAPI FormatMessageA(DWORD flags, LPCVOID source, DWORD messageId,
                                            DWORD languageId, LPSTR buffer, DWORD size,
                                            va_list* arguments);

// Registry.
WIN32_LAYER_API LONG WINAPI RegOpenKeyExA(HKEY parent, LPCSTR subKey, DWORD options,
                                          REGSAM access, PHKEY result);
WIN32_LAYER_API LONG WINAPI RegCreateKeyExA(HKEY parent, LPCSTR subKey, DWORD reserved,
                                            LPSTR className, DWORD options, REGSAM access,
                                            LPSECURITY_ATTRIBUTES security, PHKEY result,
                                            LPDWORD disposition);
WIN32_LAYER_API LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved,
                                             LPDWORD type, LPBYTE data, LPDWORD dataSize);
WIN32_LAYER_API LONG WINAPI RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved,
                                           DWORD type, const BYTE* data, DWORD dataSize);
WIN32_LAYER_API LONG WINAPI RegCloseKey(HKEY key);

// Tokens and security.
WIN32_LAYER_API BOOL WINAPI OpenProcessToken(HANDLE process, DWORD access, PHANDLE token);
WIN32_LAYER_API BOOL WINAPI LookupPrivilegeValueA(LPCSTR systemName, LPCSTR name, PLUID luid);
WIN32_LAYER_API BOOL WINAPI AdjustTokenPrivileges(HANDLE token, BOOL disableAll,
                                                  PTOKEN_PRIVILEGES newState, DWORD bufferLength,
                                                  PTOKEN_PRIVILEGES previousState,
                                                  PDWORD returnLength);
WIN32_LAYER_API BOOL WINAPI GetFileSecurityA(LPCSTR name, SECURITY_INFORMATION requested,
                                             PSECURITY_DESCRIPTOR descriptor, DWORD length,
                                             LPDWORD needed);
WIN32_LAYER_API DWORD WINAPI GetSecurityDescriptorLength(PSECURITY_DESCRIPTOR descriptor);
WIN32_LAYER_API BOOL WINAPI GetSecurityDescriptorOwner(PSECURITY_DESCRIPTOR descriptor,
                                                       PSID* owner, LPBOOL defaulted);
WIN32_LAYER_API BOOL WINAPI GetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor,
                                                      LPBOOL present, PACL* dacl,
                                                      LPBOOL defaulted);
WIN32_LAYER_API BOOL WINAPI GetSecurityDescriptorSacl(PSECURITY_DESCRIPTOR descriptor,
                                                      LPBOOL present, PACL* sacl,
                                                      LPBOOL defaulted);
WIN32_LAYER_API BOOL WINAPI LookupAccountSidA(LPCSTR systemName, PSID sid, LPSTR name,
                                              LPDWORD nameSize, LPSTR domain,
                                              LPDWORD domainSize, PSID_NAME_USE use);
WIN32_LAYER_API DWORD WINAPI GetExplicitEntriesFromAclA(PACL acl, PULONG count,
                                                        PEXPLICIT_ACCESS_A* entries);
}
