#include "NtfsVolumeSupport.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace {

bool CommandExists(const char* name) {
    std::string probe = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(probe.c_str()) == 0;
}

dev_t DeviceOf(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_dev : 0;
}

}  // namespace

NtfsVolume::NtfsVolume()
    : image_(temp_.PathOf("volume.img")), mountPoint_(temp_.AddDirectory("mnt")) {
    if (!Mount()) Unmount();
}

NtfsVolume::~NtfsVolume() { Unmount(); }

bool NtfsVolume::Mount() {
    if (geteuid() != 0) return unavailable_ = "mounting needs root", false;
    if (access("/dev/fuse", R_OK | W_OK) != 0) return unavailable_ = "/dev/fuse is not usable", false;
    if (!CommandExists("mkntfs") || !CommandExists("ntfs-3g"))
        return unavailable_ = "mkntfs or ntfs-3g is not installed", false;
    std::ofstream(image_).flush();
    if (truncate(image_.c_str(), 64 << 20) != 0) return unavailable_ = "cannot size the image", false;
    std::string format = "mkntfs -F -q -f '" + image_ + "' >/dev/null 2>&1";
    if (std::system(format.c_str()) != 0) return unavailable_ = "mkntfs failed", false;

    dev_t before = DeviceOf(mountPoint_);
    driver_ = fork();
    if (driver_ == 0) {
        execlp("ntfs-3g", "ntfs-3g", "-o", "no_detach", image_.c_str(), mountPoint_.c_str(),
               static_cast<char*>(nullptr));
        _exit(127);
    }
    if (driver_ < 0) return unavailable_ = "cannot start ntfs-3g", false;
    for (int i = 0; i < 200; ++i) {
        if (DeviceOf(mountPoint_) != before) return true;
        if (waitpid(driver_, nullptr, WNOHANG) == driver_) {
            driver_ = -1;
            return unavailable_ = "ntfs-3g could not mount the image (FUSE not usable?)", false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return unavailable_ = "ntfs-3g did not mount the image in time", false;
}

// umount returns before ntfs-3g has written everything; waiting for the
// driver process is what makes the image complete.
void NtfsVolume::Unmount() {
    if (driver_ <= 0) return;
    std::string command = "umount '" + mountPoint_ + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) kill(driver_, SIGTERM);
    waitpid(driver_, nullptr, 0);
    driver_ = -1;
}
