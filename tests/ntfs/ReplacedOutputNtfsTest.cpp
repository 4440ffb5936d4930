// An output that get writes over a file of an NTFS volume whose streams are
// paths (ntfs-3g -o streams_interface=windows): the file's own streams are no
// extended attributes there, and a file renamed over it would lose them. Each
// stays with the file, whole at any size, by every route an item takes.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <filesystem>
#include <string>
#include <vector>

#include "host/module/BuildLocation.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/ntfs/NtfsVolumeSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;
using ReplacedOutputNtfs = NtfsGetTest<NtfsStreams::Paths>;

TEST_F(ReplacedOutputNtfs, AReplacedFileKeepsItsStreamsThatArePaths) {
    ASSERT_EQ(setxattr(file.c_str(), "user.notes", "hello", 5, 0), 0);
    std::string large(300 * 1024, '\0');
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 + i / 1021);
    struct Case {
        const char* item;
        bool toOutput;  // --output the file, else --to its folder
        const char* copied;  // what the file holds afterwards, or null for the report
    };
    const Case cases[] = {
        {"notes", true, "hello"},       {"notes", false, "hello"},
        {"{Data}", true, "data"},       {"{Data}", false, "data"},
        {"{Security_Data}", true, nullptr}, {"{Security_Data}", false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + (c.toOutput ? " --output" : " --to"));
        const std::string target = "out/" + std::string(c.item);
        std::filesystem::create_directories(volume.PathOf("out"));
        volume.AddFile(target, "old");
        volume.AddFile(target + ":own", "mine");
        volume.AddFile(target + ":large", large);
        const Texts arguments =
            c.toOutput ? Texts{"get", file, c.item, "--output", volume.PathOf(target)}
                       : Texts{"get", file, c.item, "--to", volume.PathOf("out"), "--yes"};
        const ProgramRun run = RunProgram(FindBuildFile("morvex"), arguments,
                                          {{"MORVEX_REGISTRY=" + work.PathOf("registry.reg")},
                                           "",
                                           ""});
        EXPECT_EQ(run.status, 0) << run.err;
        const std::string copied = volume.Contents(target);
        if (c.copied != nullptr) {
            EXPECT_EQ(copied, c.copied);
        } else {
            EXPECT_EQ(copied.rfind("Owner: ", 0), 0u) << copied;
        }
        EXPECT_EQ(volume.Contents(target + ":own"), "mine");
        EXPECT_TRUE(volume.Contents(target + ":large") == large);
        std::filesystem::remove_all(volume.PathOf("out"));
    }
}

}  // namespace
