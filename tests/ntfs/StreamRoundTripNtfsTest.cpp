// The round trip of `morvex get` and `morvex put` on a real NTFS volume, and
// what the image holds afterwards, read by ntfscat from the unmounted image:
// every stream written back exists there with its bytes.
#include <gtest/gtest.h>

#include <string>

#include "NtfsImageSupport.h"
#include "NtfsVolumeSupport.h"
#include "tests/host/StreamRoundTripSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

TEST(StreamRoundTripNtfs, StreamsWrittenBackAreOnTheImage) {
    struct Case {
        unsigned codePage;
        unsigned seed;
    };
    for (const Case& c : {Case{65001, 11}, Case{1252, 12}}) {
        SCOPED_TRACE("code page " + std::to_string(c.codePage));
        NtfsVolume volume;
        if (!volume.Unavailable().empty())
            GTEST_SKIP() << volume.Unavailable();
        TempDirectory temp;
        RoundTrip(volume.Root(), c.codePage, c.seed, temp.PathOf("registry.reg"));
        const StreamSet written = StreamsOf(volume.Root() + "/copy");
        EXPECT_FALSE(written.empty());

        ASSERT_TRUE(UnmountForReading(volume));
        for (const auto& [name, data] : written) {
            std::string onImage;
            EXPECT_TRUE(ReadImageStream(volume.Image(), "/copy", name, onImage)) << name;
            EXPECT_EQ(onImage, data) << name;
        }
    }
}

}  // namespace
