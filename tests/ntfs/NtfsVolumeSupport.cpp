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

const char kMountPoint[] = "mnt";

dev_t DeviceOf(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_dev : 0;
}

const char* DriverOptions(NtfsStreams streams) {
    switch (streams) {
        case NtfsStreams::Paths: return "no_detach,streams_interface=windows";
        case NtfsStreams::AttributesFoldingCase: return "no_detach,ignore_case";
        default: return "no_detach";
    }
}

// lowntfs-3g is the driver that can fold the case of names.
const char* DriverOf(NtfsStreams streams) {
    return streams == NtfsStreams::AttributesFoldingCase ? "lowntfs-3g" : "ntfs-3g";
}

// ntfs-3g in the foreground, quiet: it exits once the volume is unmounted and
// its image is complete.
[[noreturn]] void RunDriver(const std::string& image, const std::string& mountPoint,
                            NtfsStreams streams) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execlp(DriverOf(streams), DriverOf(streams), "-o", DriverOptions(streams), image.c_str(),
           mountPoint.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

}  // namespace

NtfsVolume::NtfsVolume(NtfsStreams streams, unsigned sizeMiB)
    : image_(temp_.PathOf("volume.img")), mountPoint_(temp_.AddDirectory(kMountPoint)) {
    if (!Format(sizeMiB) || !Mount(streams)) Unmount();
}

NtfsVolume::~NtfsVolume() { Unmount(); }

bool NtfsVolume::Remount(NtfsStreams streams) {
    if (!unavailable_.empty()) return false;
    Unmount();
    if (Mount(streams)) return true;
    Unmount();
    return false;
}

std::string NtfsVolume::PathOf(const std::string& relative) const {
    return mountPoint_ + "/" + relative;
}

std::string NtfsVolume::AddFile(const std::string& relative, const std::string& contents) const {
    return temp_.AddFile(kMountPoint + ("/" + relative), contents);
}

std::string NtfsVolume::Contents(const std::string& relative) const {
    return temp_.Contents(kMountPoint + ("/" + relative));
}

bool NtfsVolume::Format(unsigned sizeMiB) {
    if (geteuid() != 0) return unavailable_ = "mounting needs root", false;
    if (access("/dev/fuse", R_OK | W_OK) != 0) return unavailable_ = "/dev/fuse is not usable", false;
    const std::string format = "truncate -s " + std::to_string(sizeMiB) + "M '" + image_ +
                               "' && mkntfs -F -q -f '" + image_ + "' >/dev/null 2>&1";
    if (std::system(format.c_str()) != 0) return unavailable_ = "mkntfs is not usable", false;
    return true;
}

bool NtfsVolume::Mount(NtfsStreams streams) {
    const dev_t before = DeviceOf(mountPoint_);
    driver_ = fork();
    if (driver_ == 0) RunDriver(image_, mountPoint_, streams);
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
