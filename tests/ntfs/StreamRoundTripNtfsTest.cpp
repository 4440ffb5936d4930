// The round trip of `morvex get` and `morvex put` on a real NTFS volume, and
// what the image holds afterwards, read by ntfscat from the unmounted image:
// every stream written back exists there with its bytes.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <string>
#include <vector>

#include "NtfsImageSupport.h"
#include "NtfsVolumeSupport.h"
#include "host/module/BuildLocation.h"
#include "tests/host/ProgramRunSupport.h"
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

// A volume with streams as attributes, and the program run on it with
// settings of its own.
class NtfsProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!volume.Unavailable().empty())
            GTEST_SKIP() << volume.Unavailable();
    }

    ProgramRun Morvex(const std::vector<std::string>& arguments) const {
        return RunProgram(FindBuildFile("morvex"), arguments,
                          {{"MORVEX_REGISTRY=" + work.PathOf("registry.reg")}, "", work.Path()});
    }

    NtfsVolume volume;
    TempDirectory work;
};

// Names Windows would change are streams like any other on the volume: get
// copies each out under its escaped item name, rm deletes each alone, and put
// of get's folder writes each back under its own name, as the image shows.
TEST_F(NtfsProgramTest, NamesWindowsWouldChangeComeBackAsThemselves) {
    struct Case {
        std::string stream;
        std::string item;
    };
    const Case cases[] = {
        {"a/b", "a[47]b"},   {"a\\b", "a[92]b"},      {"a:b", "a[58]b"}, {"x:", "x[58]"},
        {"dot.", "dot[46]"}, {"blank ", "blank[32]"}, {"..", ".[46]"},   {".", "[46]"},
    };
    const std::string file = volume.AddFile("named", "main data");
    for (const Case& c : cases)
        ASSERT_EQ(setxattr(file.c_str(), ("user." + c.stream).c_str(), c.item.data(),
                           c.item.size(), 0),
                  0)
            << c.stream;
    ProgramRun got = Morvex({"get", file, "--to", "out", "--yes"});
    ASSERT_EQ(got.status, 0) << got.err;
    std::vector<std::string> put = {"put", file};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stream);
        EXPECT_EQ(work.Contents("out/" + c.item), c.item);
        ProgramRun removed = Morvex({"rm", file, c.item, "--yes"});
        EXPECT_EQ(removed.status, 0) << removed.err;
        EXPECT_EQ(getxattr(file.c_str(), ("user." + c.stream).c_str(), nullptr, 0), -1);
        put.push_back(work.PathOf("out/" + c.item));
    }
    put.push_back("--yes");
    ProgramRun written = Morvex(put);
    EXPECT_EQ(written.status, 0) << written.err;
    ASSERT_TRUE(UnmountForReading(volume));
    for (const Case& c : cases) {
        std::string onImage;
        EXPECT_TRUE(ReadImageStream(volume.Image(), "/named", c.stream, onImage)) << c.stream;
        EXPECT_EQ(onImage, c.item) << c.stream;
    }
}

// Where FILE:NAME comes to 259, 260 and 261 characters as Windows counts
// them (Z: and the Linux path), each stream is written, read and deleted:
// the length is the system's to judge, and Linux takes it.
TEST_F(NtfsProgramTest, LongStreamPathsAreWrittenReadAndDeleted) {
    const std::string file = volume.AddFile("long", "main data");
    const std::string source = work.AddFile("source", "bytes");
    const size_t shortest = 259 - ("Z:" + file + ":").size();
    for (size_t length = shortest; length <= shortest + 2; ++length) {
        const std::string name(length, 'n');
        SCOPED_TRACE(("Z:" + file + ":" + name).size());
        ProgramRun put = Morvex({"put", file, source, "--as", name, "--yes"});
        EXPECT_EQ(put.status, 0) << put.err;
        ProgramRun got = Morvex({"get", file, name, "--output", "-"});
        EXPECT_EQ(got.out, "bytes") << got.err;
        ProgramRun removed = Morvex({"rm", file, name, "--yes"});
        EXPECT_EQ(removed.status, 0) << removed.err;
        EXPECT_EQ(getxattr(file.c_str(), ("user." + name).c_str(), nullptr, 0), -1);
    }
}

}  // namespace
