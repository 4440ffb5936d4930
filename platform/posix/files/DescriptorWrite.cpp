#include "platform/posix/files/DescriptorWrite.h"

#include "platform/posix/core/ErrnoMapping.h"

#include <cerrno>
#include <unistd.h>

namespace mvx {

DWORD WriteWhole(int fd, const char* data, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const ssize_t count = write(fd, data + done, size - done);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return ErrorFromErrno(errno);
        done += static_cast<std::size_t>(count);
    }
    return NO_ERROR;
}

}  // namespace mvx
