#include "tests/extfs/ExtfsSupport.h"

#include <unistd.h>

#include <cstdlib>

#include "host/module/BuildLocation.h"

std::string ExtfsHelperPath() {
    const std::string self = __FILE__;
    return self.substr(0, self.rfind("tests/extfs/")) + "extfs/morvex";
}

std::string FindOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= folders.size()) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string candidate = folders.substr(start, end - start) + "/" + program;
        if (end > start && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return "";
}

std::vector<std::string> HelperEnvironment(const std::string& registry) {
    return {"MORVEX_PROGRAM=" + FindBuildFile("morvex"), "MORVEX_REGISTRY=" + registry,
            "LC_ALL=C.UTF-8"};
}
