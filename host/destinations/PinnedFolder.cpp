#include "host/destinations/PinnedFolder.h"

#include <fcntl.h>
#include <unistd.h>

PinnedFolder::PinnedFolder(const std::string& folder)
    : fd(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC)), name(folder) {
    if (fd >= 0)
        name = "/proc/self/fd/" + std::to_string(fd);
}

PinnedFolder::~PinnedFolder() {
    if (fd >= 0)
        close(fd);
}
