// Reading a volume's image with the ntfsprogs, which see what ntfs-3g wrote
// to it and nothing of how it was mounted.
#pragma once

#include <map>
#include <string>

#include "NtfsVolumeSupport.h"

// Unmounts `volume` and waits until its driver has ended, so that the image
// is complete; the volume object still holds the image and reaps the driver
// when it goes away. False when the driver cannot be found or does not end.
bool UnmountForReading(const NtfsVolume& volume);

// The bytes of the named data stream `stream` of `path` (a path on the
// volume, from its root) as ntfscat reads them from `image`; false when
// ntfscat finds no such stream.
bool ReadImageStream(const std::string& image, const std::string& path,
                     const std::string& stream, std::string& data);

// The sizes of the named data streams of `path` (a path on the volume, from
// its root) as ntfsinfo reads them from `image`, by name; false when ntfsinfo
// finds no such file.
bool ReadImageStreamSizes(const std::string& image, const std::string& path,
                          std::map<std::string, long long>& sizes);
