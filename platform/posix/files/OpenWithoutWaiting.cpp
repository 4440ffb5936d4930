#include "platform/posix/files/OpenWithoutWaiting.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace mvx {

int OpenWithoutWaiting(const std::string& path, int flags, mode_t mode) {
    const int fd =
        open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_LARGEFILE | O_NOCTTY, mode);
    if (fd < 0) return fd;
    const int status = fcntl(fd, F_GETFL);
    if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
        const int err = errno;
        close(fd);
        errno = err;
        return -1;
    }
    return fd;
}

}  // namespace mvx
