// Owns one Linux file descriptor and closes it.
#pragma once

#include <unistd.h>
#include <utility>

namespace mvx {

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    // Windows has no failing close for a file handle; an error the kernel
    // reports here has nobody left to tell.
    ~Descriptor() {
        if (fd_ >= 0) close(fd_);
    }

    // Closes now, for a writer that must know whether its last writes
    // reached the file (a network or FUSE volume may report them only here).
    // 0, or -1 with errno set.
    int Close() {
        const int fd = std::exchange(fd_, -1);
        return fd >= 0 ? close(fd) : 0;
    }

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace mvx
