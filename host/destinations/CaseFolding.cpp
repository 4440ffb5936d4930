#include "host/destinations/CaseFolding.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>

namespace {

std::string NearestExisting(std::string folder) {
    struct stat status {};
    while (stat(folder.c_str(), &status) != 0) {
        const size_t slash = folder.rfind('/');
        if (slash == std::string::npos)
            return ".";
        folder = slash == 0 ? "/" : folder.substr(0, slash);
    }
    return folder;
}

}  // namespace

std::string FoldedName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

bool FoldsLetterCase(const std::string& folder) {
    // A probe of our own, looked for under its name in upper case.
    std::string probe = NearestExisting(folder) + "/.morvex-case-XXXXXX";
    const int fd = mkstemp(&probe[0]);
    if (fd < 0)
        return true;
    close(fd);
    std::string upper = probe;
    const size_t base = upper.rfind('/') + 1;
    for (size_t i = base; i < upper.size(); ++i)
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
    struct stat original {}, other {};
    const bool folds = stat(probe.c_str(), &original) == 0 && stat(upper.c_str(), &other) == 0 &&
                       original.st_ino == other.st_ino && original.st_dev == other.st_dev;
    unlink(probe.c_str());
    return folds;
}
