// get into a folder that does not tell letter case apart (an NTFS volume
// through lowntfs-3g -o ignore_case): two items whose names differ only in
// case would land on one file, so they are refused before anything is written
// or deleted; a folder that tells case apart takes both.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "host/module/BuildLocation.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/ntfs/NtfsVolumeSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;

TEST(CaseFoldingNtfs, TwoOutputsOfOneFileAreRefusedBeforeAnythingIsWritten) {
    NtfsVolume volume(NtfsStreams::AttributesFoldingCase);
    if (!volume.Unavailable().empty())
        GTEST_SKIP() << volume.Unavailable();
    TempDirectory work;
    const std::string file = work.AddFile("f", "data");
    setxattr(file.c_str(), "user.notes", "lower", 5, 0);
    setxattr(file.c_str(), "user.NOTES", "upper", 5, 0);
    struct Case {
        std::string destination;
        Texts items;
        int status;
        Texts written;  // files in the destination afterwards
    };
    const std::string folded = volume.PathOf("out");
    const Case cases[] = {
        {folded, {"notes", "NOTES"}, 1, {}},
        {folded + "/deeper/still", {"NOTES", "notes"}, 1, {}},
        {folded, {"notes"}, 0, {"notes"}},
        {work.PathOf("out"), {"notes", "NOTES"}, 0, {"NOTES", "notes"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination + " " + c.items[0]);
        Texts arguments = {"get", file};
        arguments.insert(arguments.end(), c.items.begin(), c.items.end());
        arguments.insert(arguments.end(), {"--to", c.destination, "--move", "--yes"});
        ProgramRun run = RunProgram(FindBuildFile("morvex"), arguments,
                                    {{"MORVEX_REGISTRY=" + work.PathOf("registry.reg")}, "", ""});
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.status != 0) {
            // Named in the panel's order, whatever the order given.
            EXPECT_EQ(run.err, "morvex: 'notes' and 'NOTES' would land on one file in " +
                                   c.destination + ", which does not tell letter case apart\n");
        }
        Texts written;
        std::error_code missing;
        for (const auto& entry : std::filesystem::directory_iterator(c.destination, missing))
            written.push_back(entry.path().filename().string());
        std::sort(written.begin(), written.end());
        EXPECT_EQ(written, c.written);
        // A refused move deletes nothing; one that went through, what it copied.
        EXPECT_EQ(getxattr(file.c_str(), "user.notes", nullptr, 0) == 5,
                  c.status != 0) << "notes";
        setxattr(file.c_str(), "user.notes", "lower", 5, 0);
        setxattr(file.c_str(), "user.NOTES", "upper", 5, 0);
        std::filesystem::remove_all(c.destination, missing);
    }
}

}  // namespace
