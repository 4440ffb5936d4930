// Drive letters of the Windows namespace and the current directories, which
// live with them. Z: is the root of the Linux tree; tests map other letters to
// directories of their own. Windows paths here are UTF-8 text.
#pragma once

#include "platform/posix/Win32Functions.h"

#include <string>

namespace mvx {

// Test control.
// Makes drive `letter` name `directory` (a Linux directory).
WIN32_LAYER_API void MapDrive(char letter, const std::string& directory);
// Names with that drive letter then fail with ERROR_PATH_NOT_FOUND.
WIN32_LAYER_API void UnmapDrive(char letter);
// The process's current directory, also remembered as its drive's.
WIN32_LAYER_API void SetCurrentDirectory(const std::string& windowsPath);
// The directory that names such as "D:x" start from while D: is not current.
WIN32_LAYER_API void SetDriveDirectory(char letter, const std::string& windowsPath);
// Back to the start: only Z: mapped, current directory Z: plus the Linux one.
WIN32_LAYER_API void ResetDriveMap();

// For the layer.
// The Linux directory behind `letter` without a trailing slash ("" for "/");
// false when the letter is not mapped.
bool DriveRoot(char letter, std::string& root);
// The full Windows path of the process's current directory.
std::string CurrentDirectory();
// The full Windows path that "X:" names: the directory remembered for X:
// (for the current drive, the current directory) or its root.
std::string DriveDirectory(char letter);

}  // namespace mvx
