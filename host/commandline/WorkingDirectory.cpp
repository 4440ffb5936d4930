#include "host/commandline/WorkingDirectory.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "host/text/Utf8Text.h"

namespace {

// The Linux current directory; empty when it cannot be read (removed, or
// out of reach).
std::string LinuxWorkingDirectory() {
    std::unique_ptr<char, decltype(&free)> path(getcwd(nullptr, 0), &free);
    return path ? std::string(path.get()) : std::string();
}

}  // namespace

bool EnterLinuxWorkingDirectory() {
    std::string linuxPath = LinuxWorkingDirectory();
    std::string windowsName;
    if (linuxPath.empty() || !FromUtf8("Z:" + linuxPath, CP_ACP, windowsName))
        return false;
    return SetCurrentDirectoryA(windowsName.c_str()) != FALSE;
}
