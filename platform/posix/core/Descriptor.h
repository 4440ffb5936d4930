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

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace mvx
