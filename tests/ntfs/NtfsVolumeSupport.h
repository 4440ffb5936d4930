// A real NTFS volume for one test: an image made by mkntfs (64 MiB unless
// asked otherwise), mounted by ntfs-3g as a child process that is waited for
// on unmount, so the image is complete when the object goes away.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>

#include "tests/platform/TempDirectorySupport.h"

// How the mounted volume hands out a file's named streams.
enum class NtfsStreams {
    Attributes,  // as extended attributes user.NAME, which the kernel cuts at 64 KiB
    Paths,       // as paths FILE:NAME of any size, named by the attribute ntfs.streams.list
    AttributesFoldingCase,  // as Attributes, file names taken without regard to case
};

class NtfsVolume {
public:
    explicit NtfsVolume(NtfsStreams streams = NtfsStreams::Attributes, unsigned sizeMiB = 64);
    ~NtfsVolume();
    NtfsVolume(const NtfsVolume&) = delete;
    NtfsVolume& operator=(const NtfsVolume&) = delete;

    // Mounts the same image again, handing out streams as `streams` says,
    // once the driver that served it has ended. False, with Unavailable()
    // saying why, when the volume cannot be mounted.
    bool Remount(NtfsStreams streams);

    // Empty when the volume is mounted; otherwise why it could not be.
    const std::string& Unavailable() const { return unavailable_; }
    // The Linux path of the volume's root directory.
    const std::string& Root() const { return mountPoint_; }
    const std::string& Image() const { return image_; }

    // The Linux path of `relative` (from the root, '/' separators) on the
    // volume; FILE:NAME is a stream of FILE when streams are paths.
    std::string PathOf(const std::string& relative) const;
    // Writes a file, or a stream FILE:NAME where streams are paths; returns its path.
    std::string AddFile(const std::string& relative, const std::string& contents) const;
    // The bytes of a file or of a stream FILE:NAME, or "<missing>".
    std::string Contents(const std::string& relative) const;

private:
    bool Format(unsigned sizeMiB);
    bool Mount(NtfsStreams streams);
    void Unmount();

    TempDirectory temp_;
    std::string image_;
    std::string mountPoint_;
    std::string unavailable_;
    pid_t driver_ = -1;
};

// A test of get from a file of a work folder off the volume into the volume,
// mounted as `Streams` says; skipped where no volume can be mounted.
template <NtfsStreams Streams>
class NtfsGetTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!volume.Unavailable().empty())
            GTEST_SKIP() << volume.Unavailable();
    }

    NtfsVolume volume{Streams};
    TempDirectory work;
    const std::string file = work.AddFile("f", "data");  // the file whose items are copied
};
