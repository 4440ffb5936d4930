// A real NTFS volume for one test: a 64 MiB image made by mkntfs, mounted by
// ntfs-3g as a child process that is waited for on unmount, so the image is
// complete when the object goes away.
#pragma once

#include <sys/types.h>

#include <string>

#include "tests/platform/TempDirectorySupport.h"

class NtfsVolume {
public:
    NtfsVolume();
    ~NtfsVolume();
    NtfsVolume(const NtfsVolume&) = delete;
    NtfsVolume& operator=(const NtfsVolume&) = delete;

    // Empty when the volume is mounted; otherwise why it could not be.
    const std::string& Unavailable() const { return unavailable_; }
    // The Linux path of the volume's root directory.
    const std::string& Root() const { return mountPoint_; }
    const std::string& Image() const { return image_; }

private:
    bool Mount();
    void Unmount();

    TempDirectory temp_;
    std::string image_;
    std::string mountPoint_;
    std::string unavailable_;
    pid_t driver_ = -1;
};
