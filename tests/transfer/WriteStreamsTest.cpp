// Taking files in through the loaded module's PutFiles: files of drive E:,
// named as a panel hands them (the base name, from the current directory),
// become streams of the opened file, and a move deletes them afterwards.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <cstring>
#include <string>
#include <vector>

#include "hostapi/OperationMode.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/files/DriveMap.h"
#include "tests/transfer/StreamPanelSupport.h"

namespace {

using Texts = std::vector<std::string>;

const char kNotice[] = "0/0 MORVEX|Writing alternate data streams...";
const char kCopyError[] = "1/1 MORVEX error|Copy error|OK";

std::string Raised(const std::string& text) {
    return "1/1 MORVEX error|PutFiles: " + text + "|OK";
}

class WriteStreamsTest : public StreamPanelTest {
protected:
    WriteStreamsTest() {
        target.AddDirectory("src");
        target.AddDirectory("src/dir");
        // Written as the stream "..\..\g", it would reach the file D:\g.
        target.AddFile("src/..[92]..[92]g", "not for g");
        temp.AddFile("g", "g");
        mvx::SetCurrentDirectory("E:\\src");
    }

    // The sources as a panel of E:\src hands them; "dir/" is a directory.
    int Put(const Texts& names, int move, unsigned mode) {
        std::vector<PanelItem> items(names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            std::memset(&items[i], 0, sizeof(PanelItem));
            std::string name = names[i];
            if (name.back() == '/') {
                items[i].fileAttributes = FILE_ATTRIBUTE_DIRECTORY;
                name.pop_back();
            }
            if (name == "ro")
                items[i].fileAttributes = FILE_ATTRIBUTE_READONLY;
            std::memcpy(items[i].fileName, name.c_str(), name.size() + 1);
        }
        return entries.PutFiles(panel, items.data(), static_cast<int>(items.size()), move, mode);
    }
};

TEST_F(WriteStreamsTest, FilesBecomeStreamsUntilOneCannot) {
    struct Case {
        Texts selection;
        int move;
        unsigned mode;
        const char* fault;  // the layer function failing on its nth call, or null
        int nth;
        int result;
        Texts boxes;
        Streams streams;  // of the opened file afterwards
        Texts sourcesLeft;
    };
    const Texts all = {"report.txt", "{Alternative_Data}x", "a[9]b", "old", "ro"};
    const Case cases[] = {
        {{"report.txt"}, 0, 0, nullptr, 0, 1, {kNotice}, {{"old", "was"}, {"report.txt", "R"}},
         all},
        {{"{Alternative_Data}x", "a[9]b", "old"}, 0, OpModeNoProgress, nullptr, 0, 1, {},
         {{"old", "new"}, {"x", "X"}, {"a\tb", "T"}}, all},
        {{"report.txt", "{Data}", "old"}, 1, OpModeQuiet, nullptr, 0, 0,
         {Raised("Only writing ALTERNATE DATA streams is supported")},
         {{"old", "was"}, {"report.txt", "R"}}, all},
        {{"report.txt", "dir/"}, 0, OpModeQuiet, nullptr, 0, 0,
         {Raised("directory items can not be copied")}, {{"old", "was"}, {"report.txt", "R"}},
         all},
        // Linux keeps the stream's name as it stands: it leads to no other file.
        {{"..[92]..[92]g"}, 0, OpModeQuiet, nullptr, 0, 1, {},
         {{"..\\..\\g", "not for g"}, {"old", "was"}}, all},
        {{"report.txt", "old"}, 1, OpModeQuiet, "CopyFileA", 2, 0, {kCopyError},
         {{"old", "was"}, {"report.txt", "R"}}, all},
        {{"report.txt", "old", "ro"}, 1, OpModeQuiet, nullptr, 0, 1, {},
         {{"old", "new"}, {"report.txt", "R"}, {"ro", "RO"}}, {"{Alternative_Data}x", "a[9]b"}},
        {{"report.txt", "old", "ro"}, 1, OpModeQuiet, "DeleteFileA", 2, 0,
         {Raised("can not delete file")}, {{"old", "new"}, {"report.txt", "R"}, {"ro", "RO"}},
         {"{Alternative_Data}x", "a[9]b", "old", "ro"}},
        {{"report.txt", "old"}, 1, OpModeQuiet, "SetFileAttributesA", 1, 0,
         {Raised("can not delete file")}, {{"old", "new"}, {"report.txt", "R"}}, all},
        // A read-only source that cannot be deleted stays read-only.
        {{"report.txt", "ro"}, 1, OpModeQuiet, "DeleteFileA", 2, 0,
         {Raised("can not delete file")}, {{"old", "was"}, {"report.txt", "R"}, {"ro", "RO"}},
         {"{Alternative_Data}x", "a[9]b", "old", "ro"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        target.AddFile("src/report.txt", "R");
        target.AddFile("src/{Alternative_Data}x", "X");
        target.AddFile("src/a[9]b", "T");
        target.AddFile("src/old", "new");
        target.AddFile("src/ro", "RO");
        chmod(target.PathOf("src/ro").c_str(), 0444);
        Open({{"old", "was"}}, "f" + std::to_string(&c - cases));
        if (c.fault != nullptr)
            mvx::InjectFault(c.fault, c.nth, ERROR_ACCESS_DENIED);
        EXPECT_EQ(Put(c.selection, c.move, c.mode), c.result);
        mvx::ClearFaults();
        EXPECT_EQ(Boxes(), c.boxes);
        EXPECT_EQ(StreamsOf(path), c.streams);
        Texts left;
        for (const std::string& source : all) {
            if (target.Exists("src/" + source))
                left.push_back(source);
        }
        EXPECT_EQ(left, c.sourcesLeft);
        struct stat status {};
        EXPECT_TRUE(stat(target.PathOf("src/ro").c_str(), &status) != 0 ||
                    (status.st_mode & 0777) == 0444);
        EXPECT_EQ(temp.Contents("g"), "g");
        // The panel lists what the file now holds.
        EXPECT_EQ(Names().size(), 2 + c.streams.size());
        EXPECT_EQ(ui.ScreenSaves().size(), ui.ScreenRestores().size());
    }
}

// Written into itself, the opened file gains a stream of its own data; moved
// into itself, it would be deleted with every stream, so the move is refused
// before anything is written.
TEST_F(WriteStreamsTest, AMoveNeverDeletesTheOpenedFile) {
    Open({{"old", "was"}}, "self");
    mvx::SetCurrentDirectory(temp.Path().c_str());
    EXPECT_EQ(Put({"self"}, 1, OpModeQuiet), 0);
    EXPECT_EQ(Boxes(), Texts{Raised("The opened file cannot be moved into itself")});
    EXPECT_EQ(StreamsOf(path), (Streams{{"old", "was"}}));
    EXPECT_EQ(Put({"self"}, 0, OpModeQuiet), 1);
    EXPECT_EQ(StreamsOf(path), (Streams{{"old", "was"}, {"self", "data"}}));
    EXPECT_EQ(temp.Contents("self"), "data");
}

TEST_F(WriteStreamsTest, NoItemsWriteNothingAndLeaveTheListAlone) {
    Open({});
    ASSERT_EQ(setxattr(path.c_str(), "user.later", "l", 1, 0), 0);
    for (int count : {0, -1}) {
        EXPECT_EQ(entries.PutFiles(panel, nullptr, count, 1, 0), 0);
        EXPECT_EQ(Names(), (Texts{"{Data}", "{Security_Data}"}));
    }
    EXPECT_TRUE(ui.Events().empty());
}

}  // namespace

namespace {

// Linux holds stream names that Windows would read as other names: each goes
// out to a file named by its item, is deleted alone, and comes back from that
// file under its own name. The file beside it and the other streams stay.
TEST_F(WriteStreamsTest, NamesWindowsWouldChangeGoOutAndComeBackAsThemselves) {
    struct Case {
        std::string stream;
        std::string item;  // also the name of the extracted file
    };
    const Case cases[] = {
        {"a/b", "a[47]b"},   {"a\\b", "a[92]b"},   {"a:b", "a[58]b"},      {"x:", "x[58]"},
        {"dot.", "dot[46]"}, {"blank ", "blank[32]"}, {"..", ".[46]"},      {".", "[46]"},
        {"..\\g", "..[92]g"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stream);
        Open({{c.stream, "v"}, {"x", "other"}}, "n" + std::to_string(&c - cases));
        std::vector<PanelItem> item = Selection({c.item});
        EXPECT_EQ(entries.GetFiles(panel, item.data(), 1, 1, "E:\\out", OpModeQuiet), 1);
        EXPECT_EQ(target.Contents("out/" + c.item), "v");
        EXPECT_EQ(StreamsOf(path), (Streams{{"x", "other"}}));
        mvx::SetCurrentDirectory("E:\\out");
        EXPECT_EQ(Put({c.item}, 0, OpModeQuiet), 1);
        mvx::SetCurrentDirectory("E:\\src");
        EXPECT_EQ(StreamsOf(path), (Streams{{c.stream, "v"}, {"x", "other"}}));
        EXPECT_EQ(Boxes(), Texts{});
        EXPECT_EQ(temp.Contents("g"), "g");
    }
}

}  // namespace
