// get into a folder that does not tell letter case apart (an NTFS volume
// through lowntfs-3g -o ignore_case): two items whose names differ only in
// case would land on one file, so they are refused before anything is written
// or deleted; a folder that tells case apart takes both. The volume folds
// every letter its upcase table knows, not ASCII alone, so 'é' and 'É' land on
// one file there, however the folder is named: a Linux path, a Windows name,
// or a folder typed at the prompt in place of the one given. The plug-in
// itself, driven by a host that moves both items in one call, never writes the
// second over the first: it stops with a "Copy error", and deletes neither.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/MorvexProgram.h"
#include "host/module/BuildLocation.h"
#include "hostapi/OperationMode.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/ntfs/NtfsVolumeSupport.h"
#include "tests/platform/EnvironmentSettingSupport.h"
#include "tests/platform/TempDirectorySupport.h"
#include "tests/transfer/StreamPanelSupport.h"

namespace {

using Texts = std::vector<std::string>;
using CaseFoldingNtfs = NtfsGetTest<NtfsStreams::AttributesFoldingCase>;

TEST_F(CaseFoldingNtfs, TwoOutputsOfOneFileAreRefusedBeforeAnythingIsWritten) {
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

TEST_F(CaseFoldingNtfs, NamesTheVolumeFoldsIntoOneAreRefusedHoweverTheFolderIsNamed) {
    const EnvironmentSetting registry("MORVEX_REGISTRY", work.PathOf("registry.reg"));
    struct Case {
        Texts streams;       // set on the file, each holding its own name
        std::string folder;  // as given
        bool typed;          // given at the prompt, with a folder of the work tree as --to
        std::string refused; // the two names told, or empty: every item copied
    };
    const std::string out = volume.PathOf("out");
    const Case cases[] = {
        {{"é", "É"}, out, false, "'é' and 'É'"},
        {{"straße", "STRAßE"}, volume.PathOf("new/deeper"), false, "'straße' and 'STRAßE'"},
        {{"ω", "Ω"}, WindowsName(volume.Root()) + "\\out", false, "'ω' and 'Ω'"},
        {{"é", "É"}, out, true, "'é' and 'É'"},
        {{"notes", "NOTES"}, volume.Root(), true, "'notes' and 'NOTES'"},
        {{"é", "e"}, out, false, ""},
        {{"é", "É"}, work.PathOf("out"), false, ""},
        {{"é", "É"}, work.PathOf("out"), true, ""},
    };
    for (const Case& c : cases) {
        const std::string& folder = c.folder;
        SCOPED_TRACE(folder + (c.typed ? " typed" : ""));
        for (const std::string& name : c.streams)
            ASSERT_EQ(setxattr(file.c_str(), ("user." + name).c_str(), name.data(), name.size(),
                               0),
                      0);
        Texts arguments = {"get", file};
        arguments.insert(arguments.end(), c.streams.begin(), c.streams.end());
        arguments.insert(arguments.end(), {"--to", c.typed ? work.PathOf("asked") : folder,
                                           "--move"});
        if (!c.typed)
            arguments.push_back("--yes");
        std::istringstream in(c.typed ? folder + "/\n\n" : "");
        std::ostringstream out, err;
        const int status = RunMorvex(arguments, in, out, err, c.typed);
        const std::string told = err.str();
        if (!c.refused.empty()) {
            EXPECT_EQ(status, 1);
            EXPECT_NE(told.find(c.refused + " would land on one file in " + folder +
                                ", which does not tell letter case apart"),
                      std::string::npos)
                << told;
            // Nothing written, nothing deleted, no probe left.
            std::error_code missing;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(
                     volume.Root(), missing))
                EXPECT_TRUE(entry.is_directory()) << entry.path();
            for (const std::string& name : c.streams)
                EXPECT_EQ(getxattr(file.c_str(), ("user." + name).c_str(), nullptr, 0),
                          static_cast<ssize_t>(name.size()))
                    << name;
        } else {
            EXPECT_EQ(status, 0) << told;
            for (const std::string& name : c.streams) {
                std::ifstream copy(folder + "/" + name, std::ios::binary);
                std::string contents((std::istreambuf_iterator<char>(copy)),
                                     std::istreambuf_iterator<char>());
                EXPECT_EQ(contents, name);
            }
        }
        EXPECT_FALSE(std::filesystem::exists(work.PathOf("asked")));
        for (const std::string& name : c.streams)
            removexattr(file.c_str(), ("user." + name).c_str());
        for (const auto& entry : std::filesystem::directory_iterator(volume.Root()))
            std::filesystem::remove_all(entry.path());
        std::filesystem::remove_all(work.PathOf("out"));
    }
}

class CaseFoldingPanelTest : public StreamPanelTest {};

TEST_F(CaseFoldingPanelTest, AnItemLandingOnTheFileOfAnEarlierOneStopsTheMove) {
    NtfsVolume volume(NtfsStreams::AttributesFoldingCase);
    if (!volume.Unavailable().empty())
        GTEST_SKIP() << volume.Unavailable();
    Open({{"\u00e9", "lower"}, {"\u00c9", "UPPER"}, {"other", "other"}});
    std::vector<PanelItem> items = Selection({"\u00e9", "\u00c9", "other"});
    const std::string destination = WindowsName(volume.PathOf("out")) + "\\";
    EXPECT_EQ(entries.GetFiles(panel, items.data(), static_cast<int>(items.size()), 1,
                               destination.c_str(), OpModeQuiet),
              0);
    EXPECT_EQ(Boxes(), Texts{"1/1 MORVEX error|Copy error|OK"});
    EXPECT_EQ(volume.Contents("out/\u00e9"), "lower");
    EXPECT_EQ(StreamsOf(path),
              (Streams{{"\u00e9", "lower"}, {"\u00c9", "UPPER"}, {"other", "other"}}));
}

}  // namespace
