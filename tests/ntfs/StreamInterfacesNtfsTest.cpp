// Named streams of every size on a real NTFS volume, which ntfs-3g hands out
// either as paths FILE:NAME or as extended attributes that the kernel cuts at
// 64 KiB: through the morvex program and through the layer, with what the
// unmounted image holds afterwards read by ntfsinfo and ntfscat. Streams past
// 64 KiB can only be made where streams are paths, so every test starts on
// such a mount and some mount the volume the default way afterwards.
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "NtfsImageSupport.h"
#include "NtfsVolumeSupport.h"
#include "host/module/BuildLocation.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/LayerErrors.h"
#include "platform/win32.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/platform/NamedStreamSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;
using Sizes = std::map<std::string, long long>;
using StreamData = std::map<std::string, std::string>;

struct StreamSize {
    const char* name;
    size_t size;
};

// 65,536 bytes is the most one extended attribute holds; "past" is one more.
constexpr size_t kAttributeLimit = 65536;
const std::vector<StreamSize> kSizes = {{"empty", 0},    {"ten", 10},         {"limit", 65536},
                                        {"past", 65537}, {"seventy", 70000}, {"large", 3000000}};

bool FitsAnAttribute(size_t size) { return size <= kAttributeLimit; }

// The sizes of kSizes that fit an attribute, or those that do not.
std::vector<StreamSize> SizesThatFit(bool fit) {
    std::vector<StreamSize> sizes;
    for (const StreamSize& stream : kSizes)
        if (FitsAnAttribute(stream.size) == fit) sizes.push_back(stream);
    return sizes;
}

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    return bytes;
}

Sizes SizesOf(const StreamData& streams) {
    Sizes sizes;
    for (const auto& [name, data] : streams) sizes[name] = static_cast<long long>(data.size());
    return sizes;
}

// Compares streams of megabytes without printing them.
::testing::AssertionResult SameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    return ::testing::AssertionFailure() << actual.size() << " bytes instead of "
                                         << expected.size() << ", first difference at " << at;
}

// Every entry below `root` with its size (-1 for a directory), so that
// anything left behind or cut short shows.
Sizes TreeOf(const std::string& root) {
    Sizes tree;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        tree[fs::relative(entry.path(), root).string()] =
            entry.is_directory() ? -1 : static_cast<long long>(entry.file_size());
    return tree;
}

// The named streams in the output of `list --json`, with the sizes shown.
Sizes JsonStreamSizes(const std::string& json) {
    const std::string nameKey = "\"name\": \"", sizeKey = "\", \"size\": ";
    Sizes sizes;
    for (size_t at = json.find(nameKey); at != std::string::npos; at = json.find(nameKey, at)) {
        at += nameKey.size();
        const size_t end = json.find(sizeKey, at);
        if (end == std::string::npos) break;
        const std::string name = json.substr(at, end - at);
        if (name[0] != '{') sizes[name] = std::atoll(json.c_str() + end + sizeKey.size());
        at = end;
    }
    return sizes;
}

std::string WindowsName(const std::string& linuxPath) { return "Z:" + linuxPath; }

// What Outcome() says of a call that failed with `code`.
std::string Failure(DWORD code) { return "error " + std::to_string(code); }

class StreamInterfacesNtfsTest : public ::testing::Test {
protected:
    StreamInterfacesNtfsTest() : volume(NtfsStreams::Paths) {}

    void SetUp() override {
        if (!volume.Unavailable().empty()) GTEST_SKIP() << volume.Unavailable();
    }
    void TearDown() override { mvx::ClearFaults(); }

    ProgramRun Morvex(const Texts& arguments) const {
        const std::string registry = "MORVEX_REGISTRY=" + settings.PathOf("registry.reg");
        return RunProgram(FindBuildFile("morvex"), arguments, {{registry}, "", work.Path()});
    }

    // The exit status of `list --json` of `file` on the volume; `sizes` gets
    // the named streams it shows.
    int ListStreams(const std::string& file, Sizes& sizes) const {
        ProgramRun run = Morvex({"list", "--json", volume.PathOf(file)});
        sizes = JsonStreamSizes(run.out);
        return run.status;
    }

    // Gives `file` on the volume, where streams are paths, streams of random bytes.
    StreamData AddStreams(const std::string& file, const std::vector<StreamSize>& streams,
                          unsigned seed) const {
        StreamData added;
        for (const StreamSize& stream : streams) {
            added[stream.name] = RandomBytes(stream.size, seed++);
            volume.AddFile(file + ":" + stream.name, added[stream.name]);
        }
        return added;
    }

    // Once the volume is unmounted: `file` has exactly the streams `expected`.
    void ExpectOnImage(const std::string& file, const StreamData& expected) const {
        SCOPED_TRACE("on the image: " + file);
        Sizes sizes;
        ASSERT_TRUE(ReadImageStreamSizes(volume.Image(), "/" + file, sizes));
        EXPECT_EQ(sizes, SizesOf(expected));
        for (const auto& [name, data] : expected) {
            std::string onImage;
            EXPECT_TRUE(ReadImageStream(volume.Image(), "/" + file, name, onImage)) << name;
            EXPECT_TRUE(SameBytes(onImage, data)) << name;
        }
    }

    NtfsVolume volume;
    TempDirectory work, settings;
};

TEST_F(StreamInterfacesNtfsTest, StreamsAsPathsListCopyOutWriteBackAndGoAtEverySize) {
    volume.AddFile("holder", "main data");
    fs::create_directory(volume.PathOf("folder"));
    const StreamData streams = AddStreams("holder", kSizes, 1);
    const StreamData folderStreams = AddStreams("folder", {{"limit", 65536}, {"past", 65537}}, 20);
    for (const auto& [holder, expected] : {std::pair(std::string("holder"), streams),
                                           std::pair(std::string("folder"), folderStreams)}) {
        SCOPED_TRACE(holder);
        Sizes listed;
        EXPECT_EQ(ListStreams(holder, listed), 0);
        EXPECT_EQ(listed, SizesOf(expected));
        ProgramRun got =
            Morvex({"get", volume.PathOf(holder), "--to", work.PathOf(holder), "--yes"});
        ASSERT_EQ(got.status, 0) << got.err;
        for (const auto& [name, data] : expected)
            EXPECT_TRUE(SameBytes(work.Contents(holder + "/" + name), data)) << name;
    }

    volume.AddFile("copy", "");
    Texts put = {"put", volume.PathOf("copy")};
    for (const StreamSize& stream : kSizes) put.push_back(work.PathOf("holder/") + stream.name);
    put.push_back("--yes");
    ProgramRun written = Morvex(put);
    EXPECT_EQ(written.status, 0) << written.err;
    for (const auto& [name, data] : streams)
        EXPECT_TRUE(SameBytes(volume.Contents("copy:" + name), data)) << name;

    ProgramRun removed = Morvex({"rm", volume.PathOf("holder"), "seventy", "--yes"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    StreamData kept = streams;
    kept.erase("seventy");
    Sizes listed;
    EXPECT_EQ(ListStreams("holder", listed), 0);
    EXPECT_EQ(listed, SizesOf(kept));

    ASSERT_TRUE(UnmountForReading(volume));
    ExpectOnImage("copy", streams);
    ExpectOnImage("holder", kept);
    ExpectOnImage("folder", folderStreams);
}

TEST_F(StreamInterfacesNtfsTest, AttributesUpToTheLimitListAndCopyOutWhole) {
    volume.AddFile("whole", "main data");
    const StreamData streams = AddStreams("whole", SizesThatFit(true), 30);
    ASSERT_TRUE(volume.Remount(NtfsStreams::Attributes)) << volume.Unavailable();
    Sizes listed;
    EXPECT_EQ(ListStreams("whole", listed), 0);
    EXPECT_EQ(listed, SizesOf(streams));
    ProgramRun got = Morvex({"get", volume.PathOf("whole"), "--to", work.PathOf("out"), "--yes"});
    ASSERT_EQ(got.status, 0) << got.err;
    for (const auto& [name, data] : streams)
        EXPECT_TRUE(SameBytes(work.Contents("out/" + name), data)) << name;
}

// A name holding '/' has no path where streams are paths: the listing says
// so and names the mount that reaches the stream, which reaches it whole.
TEST_F(StreamInterfacesNtfsTest, AStreamNamedWithASlashNamesTheMountThatReachesIt) {
    volume.AddFile("slashed", "main data");
    ASSERT_TRUE(volume.Remount(NtfsStreams::Attributes)) << volume.Unavailable();
    ASSERT_EQ(setxattr(volume.PathOf("slashed").c_str(), "user.a/b", "ab", 2, 0), 0);
    ASSERT_TRUE(volume.Remount(NtfsStreams::Paths)) << volume.Unavailable();
    ProgramRun listed = Morvex({"list", volume.PathOf("slashed")});
    EXPECT_EQ(listed.status, 1);
    EXPECT_NE(listed.err.find("holding '/'"), std::string::npos) << listed.err;
    EXPECT_NE(listed.err.find("streams_interface=xattr"), std::string::npos) << listed.err;
    ASSERT_TRUE(volume.Remount(NtfsStreams::Attributes)) << volume.Unavailable();
    ProgramRun got = Morvex({"get", volume.PathOf("slashed"), "a[47]b", "--output", "-"});
    EXPECT_EQ(got.status, 0) << got.err;
    EXPECT_EQ(got.out, "ab");
}

// A stream the attribute cannot hold whole is never shown cut, copied out or
// written: the command fails and the volume and the work folder stay as they were.
TEST_F(StreamInterfacesNtfsTest, AttributesPastTheLimitFailAndChangeNothing) {
    std::map<std::string, StreamData> overs;
    for (const StreamSize& stream : SizesThatFit(false))
        overs["over-" + std::string(stream.name)] =
            AddStreams("over-" + std::string(stream.name), {{"ten", 10}, stream}, 40);
    volume.AddFile("target", "");
    StreamData target = AddStreams("target", {{"kept", 10}}, 50);
    work.AddDirectory("sources");
    StreamData sources;
    for (const StreamSize& stream : kSizes)
        sources[stream.name] = RandomBytes(stream.size, 60);
    for (const auto& [name, data] : sources) work.AddFile("sources/" + name, data);
    ASSERT_TRUE(volume.Remount(NtfsStreams::Attributes)) << volume.Unavailable();
    const Sizes volumeBefore = TreeOf(volume.Root()), workBefore = TreeOf(work.Path());

    for (const auto& [file, streams] : overs) {
        SCOPED_TRACE(file);
        Sizes listed;
        EXPECT_EQ(ListStreams(file, listed), 1);
        for (const auto& [name, size] : listed) EXPECT_EQ(size, SizesOf(streams)[name]) << name;
        ProgramRun plain = Morvex({"list", volume.PathOf(file)});
        EXPECT_EQ(plain.status, 1);
        EXPECT_EQ(plain.out.find("65536"), std::string::npos) << plain.out;
        const std::string out = work.PathOf("out-" + file);
        ProgramRun got = Morvex({"get", volume.PathOf(file), "--to", out, "--yes"});
        EXPECT_EQ(got.status, 1);
        EXPECT_FALSE(fs::exists(out));
        EXPECT_NE(got.err.find("streams_interface=windows"), std::string::npos) << got.err;
    }
    for (const StreamSize& stream : kSizes) {
        const std::string source = work.PathOf("sources/") + stream.name;
        ProgramRun put = Morvex({"put", volume.PathOf("target"), source, "--yes"});
        EXPECT_EQ(put.status, FitsAnAttribute(stream.size) ? 0 : 1) << stream.name << put.err;
        if (FitsAnAttribute(stream.size)) target[stream.name] = sources[stream.name];
    }
    EXPECT_EQ(TreeOf(volume.Root()), volumeBefore);
    EXPECT_EQ(TreeOf(work.Path()), workBefore);

    ASSERT_TRUE(UnmountForReading(volume));
    ExpectOnImage("target", target);
    for (const auto& [file, streams] : overs) ExpectOnImage(file, streams);
}

// Through the layer: a copy from or into a stream past the limit fails with
// the layer's own code, whose text names the mount option that reaches it.
TEST_F(StreamInterfacesNtfsTest, CopiesPastTheAttributeLimitNameTheWayOut) {
    volume.AddFile("source", "main data");
    const StreamData streams = AddStreams("source", kSizes, 70);
    volume.AddFile("target", "");
    for (const auto& [name, data] : streams) work.AddFile(name, data);
    ASSERT_TRUE(volume.Remount(NtfsStreams::Attributes)) << volume.Unavailable();

    StreamData written;
    for (const StreamSize& stream : kSizes) {
        SCOPED_TRACE(stream.name);
        const bool fits = FitsAnAttribute(stream.size);
        const std::string result = fits ? "ok" : Failure(mvx::kErrorStreamBeyondAttribute);
        const std::string out = "out-" + std::string(stream.name);
        EXPECT_EQ(Outcome(CopyFileA(WindowsName(volume.PathOf("source:") + stream.name).c_str(),
                                    WindowsName(work.PathOf(out)).c_str(), TRUE)),
                  result);
        EXPECT_TRUE(SameBytes(work.Contents(out), fits ? streams.at(stream.name) : "<missing>"));
        EXPECT_EQ(Outcome(CopyFileA(WindowsName(work.PathOf(stream.name)).c_str(),
                                    WindowsName(volume.PathOf("target:") + stream.name).c_str(),
                                    TRUE)),
                  result);
        if (fits) written[stream.name] = streams.at(stream.name);
    }
    char text[512] = "";
    EXPECT_GT(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, mvx::kErrorStreamBeyondAttribute,
                             0, text, sizeof(text), nullptr),
              0u);
    EXPECT_NE(std::string(text).find("streams_interface=windows"), std::string::npos) << text;

    ASSERT_TRUE(UnmountForReading(volume));
    ExpectOnImage("target", written);
}

// A copy into a stream that is a path is written in place: a volume without
// the room refuses it before anything changes, and one that fails half way
// takes the half-written stream away, with the file when the copy made it.
TEST_F(StreamInterfacesNtfsTest, CopiesIntoPathStreamsNeverLeaveThemCut) {
    const std::string data = RandomBytes(3000000, 80);
    const std::string source = work.AddFile("source", data);
    const std::string old = "old bytes";
    struct Case {
        const char* target;
        bool fullVolume;
        unsigned failingChunk;  // 0: none
        std::string result;
        const char* after;  // fresh, fresh:s, held:old, held:new: "-" missing, "src", "old", size
    };
    const Case cases[] = {
        {"fresh:s", false, 0, "ok", "0 src old -"},
        {"held:old", false, 0, "ok", "- - src -"},
        {"fresh:s", false, 2, Failure(ERROR_WRITE_PROTECT), "- - old -"},
        // A new stream cut short is removed, never left: ntfs-3g refuses to
        // unlink a stream that is still open, so this catches a removal made
        // too early. A stream rewritten gets its old bytes back.
        {"held:new", false, 2, Failure(ERROR_WRITE_PROTECT), "- - old -"},
        {"held:old", false, 1, Failure(ERROR_WRITE_PROTECT), "- - old -"},
        {"held:old", false, 2, Failure(ERROR_WRITE_PROTECT), "- - old -"},
        {"held:old", false, 6, Failure(ERROR_WRITE_PROTECT), "- - old -"},
        {"fresh:s", true, 0, Failure(ERROR_DISK_FULL), "- - old -"},
        {"held:old", true, 0, Failure(ERROR_DISK_FULL), "- - old -"},
    };
    auto state = [&] {
        std::string text;
        for (const char* name : {"fresh", "fresh:s", "held:old", "held:new"}) {
            const std::string bytes = volume.Contents(name);
            text += text.empty() ? "" : " ";
            text += bytes == "<missing>" ? "-"
                    : bytes == old       ? "old"
                    : bytes == data      ? "src"
                                         : std::to_string(bytes.size());
        }
        return text;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.target) + (c.fullVolume ? " on a full volume" : "") +
                     (c.failingChunk ? " failing" : ""));
        // The kernel keeps fresh:s known for a while after fresh alone goes,
        // and would then refuse to create it again.
        for (const char* name : {"fresh:s", "fresh", "held:new"})
            unlink(volume.PathOf(name).c_str());
        volume.AddFile("held", "");
        volume.AddFile("held:old", old);
        struct statvfs room {};
        ASSERT_EQ(statvfs(volume.Root().c_str(), &room), 0);
        if (c.fullVolume)
            volume.AddFile("filler", std::string(room.f_bavail * room.f_frsize - (1 << 20), 'f'));
        if (c.failingChunk)
            mvx::InjectFault("CopyFileA.WriteChunk", c.failingChunk, ERROR_WRITE_PROTECT);
        EXPECT_EQ(Outcome(CopyFileA(WindowsName(source).c_str(),
                                    WindowsName(volume.PathOf(c.target)).c_str(), FALSE)),
                  c.result);
        mvx::ClearFaults();
        unlink(volume.PathOf("filler").c_str());
        EXPECT_EQ(state(), c.after);
        // Nothing is left beside the stream: no backup of its old bytes.
        char names[256] = {};
        const ssize_t listed =
            getxattr(volume.PathOf("held").c_str(), "ntfs.streams.list", names, sizeof(names));
        EXPECT_EQ(std::string(names), "old");
        EXPECT_LE(listed, 4);
    }
}

// The old bytes of a stream rewritten in place are kept aside in a stream
// made for them, never in one that is there already: a stream named as the
// backup may be the user's own, or the backup a kill left, the one whole
// copy of the old bytes. It stays as it was, whether the write goes or fails.
TEST_F(StreamInterfacesNtfsTest, ARewriteKeepsEveryStreamItDoesNotWrite) {
    const std::string source = work.AddFile("source", "new bytes");
    const std::string longest(250 - std::string(".~morvex-old").size(), 'n');
    struct Case {
        std::string stream;     // of held, with "old bytes"
        Texts taken;            // streams of held already there, each holding "mine"
        unsigned failingChunk;  // 0: none
        std::string result;
        std::string after;  // what the stream holds afterwards
    };
    const Case cases[] = {
        {"old", {"old.~morvex-old"}, 0, "ok", "new bytes"},
        {"old", {"old.~morvex-old"}, 1, Failure(ERROR_WRITE_PROTECT), "old bytes"},
        {"old", {"old.~morvex-old", "old.~morvex-old-" + std::to_string(getpid())}, 0, "ok",
         "new bytes"},
        {longest, {longest + ".~morvex-old"}, 0, "ok", "new bytes"},
        {longest, {longest + ".~morvex-old"}, 1, Failure(ERROR_WRITE_PROTECT), "old bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        // A file of its own each time: the kernel keeps a stream known for a
        // while after its file goes, and would refuse to make it again.
        const std::string held = "held" + std::to_string(&c - cases);
        volume.AddFile(held, "");
        volume.AddFile(held + ":" + c.stream, "old bytes");
        for (const std::string& taken : c.taken)
            volume.AddFile(held + ":" + taken, "mine");
        if (c.failingChunk)
            mvx::InjectFault("CopyFileA.WriteChunk", c.failingChunk, ERROR_WRITE_PROTECT);
        const std::string stream = WindowsName(volume.PathOf(held + ":" + c.stream));
        EXPECT_EQ(Outcome(CopyFileA(WindowsName(source).c_str(), stream.c_str(), FALSE)),
                  c.result);
        mvx::ClearFaults();
        EXPECT_EQ(volume.Contents(held + ":" + c.stream), c.after);
        for (const std::string& taken : c.taken)
            EXPECT_EQ(volume.Contents(held + ":" + taken), "mine") << taken;
        // No backup is left: the list holds the names, a NUL between two.
        ssize_t names = static_cast<ssize_t>(c.stream.size());
        for (const std::string& taken : c.taken)
            names += 1 + static_cast<ssize_t>(taken.size());
        EXPECT_EQ(getxattr(volume.PathOf(held).c_str(), "ntfs.streams.list", nullptr, 0), names);
    }
}

}  // namespace
