// The Windows side of host/module/BuildLocation.h: the Windows build puts its files
// (lang/en.msg, morvex.dll) beside its programs, and only there.
#include "host/module/BuildLocation.h"

#include <windows.h>

#include <stdexcept>

std::vector<std::string> BuildDirectories() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof(path));
    if (length == 0 || length >= sizeof(path))
        return {};
    const std::string program(path, length);
    return {program.substr(0, program.find_last_of('\\'))};
}

std::string FindBuildFile(const std::string& relativePath) {
    std::string tried;
    for (const std::string& directory : BuildDirectories()) {
        const std::string candidate = directory + "\\" + relativePath;
        if (GetFileAttributesA(candidate.c_str()) != INVALID_FILE_ATTRIBUTES)
            return candidate;
        tried += " " + candidate;
    }
    throw std::runtime_error("cannot find " + relativePath + "; tried" + tried);
}
