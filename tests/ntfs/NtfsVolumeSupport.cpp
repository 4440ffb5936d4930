#include "NtfsVolumeSupport.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace {

dev_t DeviceOf(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_dev : 0;
}

// ntfs-3g in the foreground, quiet: it exits once the volume is unmounted and
// its image is complete.
[[noreturn]] void RunDriver(const std::string& image, const std::string& mountPoint) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execlp("ntfs-3g", "ntfs-3g", "-o", "no_detach", image.c_str(), mountPoint.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
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
    const std::string format = "truncate -s 64M '" + image_ + "' && mkntfs -F -q -f '" + image_ +
                               "' >/dev/null 2>&1";
    if (std::system(format.c_str()) != 0) return unavailable_ = "mkntfs is not usable", false;

    const dev_t before = DeviceOf(mountPoint_);
    driver_ = fork();
    if (driver_ == 0) RunDriver(image_, mountPoint_);
    if (driver_ < 0) return unavailable_ = "cannot start ntfs-3g", false;
    for (int tries = 0; tries < 200; ++tries) {
        if (DeviceOf(mountPoint_) != before) return true;
        if (waitpid(driver_, nullptr, WNOHANG) == driver_) {
            driver_ = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return unavailable_ = "ntfs-3g could not mount the image (is FUSE usable?)", false;
}

// umount returns before ntfs-3g has written everything; waiting for the
// driver process is what makes the image complete.
void NtfsVolume::Unmount() {
    if (driver_ <= 0) return;
    if (umount2(mountPoint_.c_str(), 0) != 0 && umount2(mountPoint_.c_str(), MNT_DETACH) != 0)
        kill(driver_, SIGTERM);
    waitpid(driver_, nullptr, 0);
    driver_ = -1;
}
