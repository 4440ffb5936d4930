// Copying streams out through the loaded module's GetFiles, on real files of
// mapped drives: the destination dialog, the directories it creates, every
// kind of stream written whole, and the failures that stop the copying.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#include <sys/xattr.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "hostapi/OperationMode.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/files/DriveMap.h"
#include "tests/transfer/StreamPanelSupport.h"

namespace {

using Texts = std::vector<std::string>;

const char kNotice[] = "0/0 MORVEX|Extracting streams...";
const char kCopyError[] = "1/1 MORVEX error|Copy error|OK";
const std::string kMustBeDirectory = "1/1 MORVEX error|You must specify directory path|OK";

std::string Raised(const std::string& text) {
    return "1/1 MORVEX error|GetFiles: " + text + "|OK";
}

class ExtractStreamsTest : public StreamPanelTest {
protected:
    int Get(const Texts& names, const std::string& destination, unsigned mode, int move = 0) {
        std::vector<PanelItem> items = Selection(names);
        return entries.GetFiles(panel, items.data(), static_cast<int>(items.size()), move,
                                destination.c_str(), mode);
    }

    // A file of drive D: or E: ("E/out/{Data}"), or nothing when it is missing.
    std::optional<std::string> Written(const std::string& name) const {
        const TempDirectory& drive = name[0] == 'D' ? temp : target;
        if (!drive.Exists(name.substr(2)))
            return std::nullopt;
        return drive.Contents(name.substr(2));
    }
};

TEST_F(ExtractStreamsTest, TheDestinationIsSettledAndItsDirectoriesCreated) {
    struct Answer {
        int button;
        const char* typed;
    };
    struct Case {
        std::string destination;
        unsigned mode;
        std::vector<Answer> answers;
        int result;
        Texts shown;  // the edit line of each dialog
        Texts boxes;
        Texts present;
        Texts absent;
        Texts selection = {"{Data}"};
        int move = 0;
    };
    const std::string longest(507, 'x');  // "E:\" + 507 + "\" fills the 511 of the edit line
    const Case cases[] = {
        {"E:\\out", OpModeQuiet, {}, 1, {}, {}, {"E/out/{Data}"}, {}},
        {"E:\\o2", 0, {{3, "E:\\o2"}, {3, " \tE:\\o2\\ \n"}}, 1, {"E:\\o2\\", "E:\\o2"},
         {kMustBeDirectory, kNotice}, {"E/o2/{Data}"}, {}},
        {"E:\\o4", 0, {{4, nullptr}}, -1, {"E:\\o4\\"}, {}, {}, {"E/o4"}},
        {"E:\\a\\\\b\\", OpModeQuiet, {}, 0, {}, {Raised("Can not open output file")}, {"E/a"},
         {"E/a/b"}},
        {"D:x\\y\\", OpModeQuiet, {}, 1, {}, {}, {"D/cur/x/y/{Data}"}, {}},
        {"", OpModeQuiet, {}, 1, {}, {}, {"E/cwd/{Data}"}, {}},
        {"E:\\" + longest, 0, {{4, nullptr}}, -1, {"E:\\" + longest + "\\"}, {}, {}, {}},
        {"E:\\" + longest + "x", 0, {}, 0, {},
         {Raised("The destination path is too long for the dialog")}, {}, {}},
        {"E:\\none", OpModeQuiet, {}, 1, {}, {}, {"E/none"}, {}, {}},
        {"E:\\gone", OpModeQuiet, {}, 0, {}, {}, {"E/gone"}, {}, {}, 1},
    };
    Open({});
    temp.AddDirectory("cur");
    target.AddDirectory("cwd");
    mvx::SetCurrentDirectory("E:\\cwd");
    mvx::SetDriveDirectory('D', "D:\\cur");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.destination);
        for (const Answer& answer : c.answers) {
            std::vector<ScriptedUi::ItemChange> changes;
            if (answer.typed != nullptr)
                changes.push_back({2, std::nullopt, answer.typed});
            ui.AnswerDialog(answer.button, changes);
        }
        const size_t dialogsBefore = ui.Dialogs().size();
        EXPECT_EQ(Get(c.selection, c.destination, c.mode, c.move), c.result);
        Texts shown;
        for (size_t i = dialogsBefore; i < ui.Dialogs().size(); ++i)
            shown.push_back(ui.Dialogs()[i].items[2].text);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(Boxes(), c.boxes);
        for (const std::string& name : c.present)
            EXPECT_TRUE(Written(name)) << name;
        for (const std::string& name : c.absent)
            EXPECT_FALSE(Written(name)) << name;
        EXPECT_EQ(ui.PendingAnswers(), 0);
    }
    EXPECT_EQ(ui.Dialogs()[0].helpTopic, "Extract");
    EXPECT_EQ(ui.ScreenSaves().size(), ui.ScreenRestores().size());
}

TEST_F(ExtractStreamsTest, EveryKindIsWrittenWholeOverWhatWasThere) {
    std::string large(524289, 0);
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 + i / 251);
    struct Case {
        std::string data;
        Streams streams;
        std::string item;
    };
    const Case cases[] = {
        {"", {}, "{Data}"},
        {large.substr(0, 524288), {}, "{Data}"},
        {large, {}, "{Data}"},
        {"data", {{"s", "stream"}}, "s"},
        {"data", {{"e", ""}, {"s", "x"}}, "e"},
    };
    for (const Case& c : cases) {
        const std::string out = "k" + std::to_string(&c - cases);
        SCOPED_TRACE(out);
        Open(c.streams, "f", c.data);
        target.AddDirectory(out);
        target.AddFile(out + "/" + c.item, std::string(600000, 'o'));
        EXPECT_EQ(Get({c.item}, "E:\\" + out, OpModeQuiet), 1);
        const auto stream = c.streams.find(c.item);
        EXPECT_EQ(Written("E/" + out + "/" + c.item),
                  stream == c.streams.end() ? c.data : stream->second);
    }
    // A directory's descriptor names the rights as a directory's.
    temp.AddDirectory("dir");
    Close();
    panel = entries.OpenPlugin(4, reinterpret_cast<INT_PTR>("D:\\dir"));
    ASSERT_NE(panel, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Get({"{Security_Data}"}, "E:\\sd", OpModeQuiet), 1);
    const std::string report = Written("E/sd/{Security_Data}").value_or("");
    EXPECT_NE(report.find("Traverse"), std::string::npos) << report;
    EXPECT_EQ(report.find("Execute"), std::string::npos) << report;
}

TEST_F(ExtractStreamsTest, FailuresStopAtTheItemConcerned) {
    struct Case {
        std::string leaf;
        Texts selection;
        std::string destination;
        const char* fault;  // the layer function failing on its nth call, or null
        int nth;
        int move;
        Texts boxes;
        Texts present;
        Texts absent;
    };
    const Case cases[] = {
        // Five items: #4 is the last of them, #5 one past it.
        {"f", {"#5"}, "E:\\i5", nullptr, 0, 0,
         {Raised("The item is no longer in the stream list")}, {}, {"E/i5/{Data}"}},
        {"f", {"#4"}, "E:\\i4", nullptr, 0, 0, {}, {}, {}},
        // The file itself is never the output; on a disk that tells case
        // apart, a name that differs only in case is another file.
        {"s", {"s"}, "D:\\", nullptr, 0, 0, {kCopyError}, {}, {}},
        {"T", {"t"}, "D:\\", nullptr, 0, 0, {}, {"D/t"}, {}},
        {"{Data}", {"{Data}"}, "D:\\", nullptr, 0, 0, {kCopyError}, {}, {}},
        {"{security_data}", {"{Security_Data}"}, "D:\\", nullptr, 0, 0, {}, {"D/{Security_Data}"}, {}},
        {"f", {"s"}, "D:\\", nullptr, 0, 0, {}, {"D/s"}, {}},
        {"f", {"..[92]..[92]g"}, "E:\\dots", nullptr, 0, 0, {}, {"E/dots/..[92]..[92]g"}, {}},
        // Call 1 asks whether the output is the file: when that cannot be told, it is refused.
        {"f", {"{Data}"}, "E:\\c0", "CreateFileA", 1, 0, {kCopyError}, {}, {"E/c0/{Data}"}},
        {"f", {"{Data}"}, "E:\\c1", "CreateFileA", 2, 0, {Raised("Can not open input file")},
         {}, {"E/c1/{Data}"}},
        // Call 3 asks whether a pipe stands at the output: when that cannot be
        // told, the output is replaced as a file; call 4 makes the replacement.
        {"f", {"{Data}"}, "E:\\c2", "CreateFileA", 3, 0, {}, {"E/c2/{Data}"}, {}},
        {"f", {"{Data}"}, "E:\\c7", "CreateFileA", 4, 0, {Raised("Can not open output file")},
         {}, {"E/c7/{Data}"}},
        {"f", {"{Data}"}, "E:\\c3", "GetFileSize", 1, 0, {Raised("GetLength error")},
         {}, {"E/c3/{Data}"}},
        {"f", {"{Data}"}, "E:\\c4", "ReadFile", 1, 0, {Raised("File reading error")},
         {}, {"E/c4/{Data}"}},
        {"f", {"{Data}"}, "E:\\c5", "WriteFile", 1, 0, {Raised("File writing error")},
         {}, {"E/c5/{Data}"}},
        {"f", {"s", "t"}, "E:\\c6", "CopyFileA", 2, 0, {kCopyError}, {"E/c6/s"}, {"E/c6/t"}},
        {"f", {"s", "{Data}"}, "E:\\mv", nullptr, 0, 1,
         {Raised("Plugin can delete only Alternative data stream")}, {"E/mv/s", "E/mv/{Data}"},
         {}},
    };
    temp.AddFile("g", "another file");
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        Open({{"s", "stream s"}, {"t", "stream t"}, {"..\\..\\g", "dots"}}, c.leaf);
        if (c.fault != nullptr)
            mvx::InjectFault(c.fault, c.nth, ERROR_ACCESS_DENIED);
        EXPECT_EQ(Get(c.selection, c.destination, OpModeQuiet, c.move), c.boxes.empty());
        mvx::ClearFaults();
        EXPECT_EQ(Boxes(), c.boxes);
        for (const std::string& name : c.present)
            EXPECT_TRUE(Written(name)) << name;
        for (const std::string& name : c.absent)
            EXPECT_FALSE(Written(name)) << name;
        EXPECT_EQ(temp.Contents(c.leaf), "data");
        EXPECT_EQ(temp.Contents("g"), "another file");
        const Streams left = StreamsOf(path);
        EXPECT_EQ(left.count("s"), c.move ? 0u : 1u);
    }
}

}  // namespace

namespace {

// An output is replaced whole or not at all: whatever step of a copy fails,
// the old output keeps its bytes, mode and stream, and no temporary is left;
// a copy that goes through keeps the old output's mode and stream too.
// (Closes 1 and 2 are the same-file check's, 3 that of the look at what
// stands at the output, 4 the output's.)
TEST_F(ExtractStreamsTest, AFailedCopyLeavesTheOldOutputWhole) {
    struct Case {
        const char* item;
        const char* fault;  // the layer function failing on its nth call, or null
        unsigned nth;
        const char* content;  // of the output afterwards: "old" or "new"
    };
    const Case cases[] = {
        {"{Data}", "ReadFile", 1, "old"},        {"{Data}", "WriteFile", 1, "old"},
        {"{Data}", "ReplaceFileA", 1, "old"},    {"{Data}", "CloseHandle", 4, "old"},
        {"{Security_Data}", "WriteFile", 1, "old"}, {"{Security_Data}", "ReplaceFileA", 1, "old"},
        {"{Data}", nullptr, 0, "new"},           {"{Security_Data}", nullptr, 0, "new"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + (c.fault ? c.fault : "") + " " +
                     std::to_string(c.nth));
        Open({{"s", "stream s"}}, "f");
        target.AddDirectory("old");
        const std::string output = target.AddFile("old/" + std::string(c.item), "old output");
        setxattr(output.c_str(), "user.own", "mine", 4, 0);
        chmod(output.c_str(), 0604);
        if (c.fault != nullptr)
            mvx::InjectFault(c.fault, c.nth, ERROR_DISK_FULL);
        Get({c.item}, "E:\\old", OpModeQuiet);
        mvx::ClearFaults();
        const bool replaced = std::string(c.content) == "new";
        EXPECT_EQ(target.Contents("old/" + std::string(c.item)) == "old output", !replaced);
        EXPECT_EQ(StreamsOf(output), (Streams{{"own", "mine"}}));
        struct stat status {};
        stat(output.c_str(), &status);
        EXPECT_EQ(status.st_mode & 07777, 0604u);
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(target.PathOf("old")))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, Texts{c.item});
        std::filesystem::remove_all(target.PathOf("old"));
        Close();
    }
}

// A pipe at an output (a reader holding it) takes the item as it is copied,
// whatever its kind: no temporary is made beside it and the pipe stays. A
// link to a pipe is replaced as a new file would be, and the pipe gets nothing.
TEST_F(ExtractStreamsTest, APipeAtTheOutputIsWrittenIntoALinkToOneIsReplaced) {
    Open({{"s", "stream s"}}, "f");
    const std::string pipe = target.PathOf("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    for (const char* item : {"{Data}", "{Security_Data}", "s"})
        for (const bool throughLink : {false, true}) {
            SCOPED_TRACE(std::string(item) + (throughLink ? " link" : " pipe"));
            target.AddDirectory("p");
            const std::string output = target.PathOf("p/" + std::string(item));
            ASSERT_EQ(throughLink ? symlink(pipe.c_str(), output.c_str())
                                  : mkfifo(output.c_str(), 0600),
                      0);
            const int reader = open(throughLink ? pipe.c_str() : output.c_str(),
                                    O_RDONLY | O_NONBLOCK);
            EXPECT_EQ(Get({item}, "E:\\p", OpModeQuiet), 1);
            char piped[4096] = {};
            const ssize_t got = read(reader, piped, sizeof(piped));
            close(reader);
            struct stat status {};
            ASSERT_EQ(lstat(output.c_str(), &status), 0);
            EXPECT_EQ(S_ISFIFO(status.st_mode), !throughLink);
            const std::string copied = throughLink ? target.Contents("p/" + std::string(item))
                                                   : std::string(piped, got > 0 ? got : 0);
            EXPECT_EQ(got > 0, !throughLink);
            if (std::string(item) == "{Security_Data}")
                EXPECT_EQ(copied.rfind("Owner: ", 0), 0u) << copied;
            else
                EXPECT_EQ(copied, item[0] == 's' ? "stream s" : "data");
            std::vector<std::string> left;
            for (const auto& entry : std::filesystem::directory_iterator(target.PathOf("p")))
                left.push_back(entry.path().filename().string());
            EXPECT_EQ(left, Texts{item});
            std::filesystem::remove_all(target.PathOf("p"));
        }
}

// The data read while another program writes the file would be neither its
// old contents nor its new: a copy whose source grew, shrank or was written
// in place meanwhile fails, and the output keeps what it held.
TEST_F(ExtractStreamsTest, DataWrittenMeanwhileFailsTheCopy) {
    const std::string data(3 * 512 * 1024 + 5, 'd');  // four chunks
    struct Case {
        const char* change;
        std::string raised;
    };
    const Case cases[] = {
        {"appended", "The file changed while it was copied"},
        {"written in place", "The file changed while it was copied"},
        {"cut short", "File reading error"},
        {"left alone", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.change);
        Open({}, "f", data);
        const std::string source = temp.PathOf("f");
        // Long written, so that a write now moves its time.
        const timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
        ASSERT_EQ(utimes(source.c_str(), old), 0);
        target.AddDirectory("out");
        target.AddFile("out/{Data}", "old output");
        const std::string change = c.change;
        mvx::InjectAction("WriteFile", 2, [&] {
            if (change == "appended") {
                std::ofstream(source, std::ios::binary | std::ios::app) << "more";
            } else if (change == "written in place") {
                std::fstream(source, std::ios::binary | std::ios::in | std::ios::out) << "X";
            } else if (change == "cut short") {
                EXPECT_EQ(truncate(source.c_str(), 512 * 1024 + 1), 0);
            }
        });
        const int result = Get({"{Data}"}, "E:\\out", OpModeQuiet);
        mvx::ClearFaults();
        EXPECT_EQ(result, c.raised.empty() ? 1 : 0);
        EXPECT_EQ(Boxes(), c.raised.empty() ? Texts{} : Texts{Raised(c.raised)});
        EXPECT_EQ(target.Contents("out/{Data}"), c.raised.empty() ? data : "old output");
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(target.PathOf("out")))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, Texts{"{Data}"});
        std::filesystem::remove_all(target.PathOf("out"));
        Close();
    }
}

// The folder an output goes to may be others' to write: a temporary swapped
// for a link to another file before it takes the output's place lends that
// file nothing and takes nothing from it. The replaced output's mode, owner
// and streams are given to the temporary itself, never through a link.
TEST_F(ExtractStreamsTest, ATemporarySwappedForALinkLeadsNoTraitsElsewhere) {
    struct Case {
        const char* item;
        const char* call;  // the layer call before whose nth use the swap comes
        unsigned nth;
    };
    const Case cases[] = {
        {"{Data}", "ReplaceFileA", 1},
        {"{Security_Data}", "ReplaceFileA", 1},
        {"s", "CopyFileA.WriteChunk", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        Open({{"s", "stream s"}}, "f");
        const std::string victim = target.AddFile("victim", "victim");
        chmod(victim.c_str(), 0600);
        target.AddDirectory("out");
        const std::string output = target.AddFile("out/" + std::string(c.item), "old output");
        setxattr(output.c_str(), "user.own", "mine", 4, 0);
        // Another user's output, where this process may give files away.
        if (geteuid() == 0) {
            ASSERT_EQ(chown(output.c_str(), 1234, 5678), 0);
        }
        chmod(output.c_str(), 04755);
        mvx::InjectAction(c.call, c.nth, [&] {
            for (const auto& entry : std::filesystem::directory_iterator(target.PathOf("out")))
                if (entry.path().filename().string().find("morvex-") != std::string::npos) {
                    std::filesystem::remove(entry.path());
                    std::filesystem::create_symlink(victim, entry.path());
                }
        });
        Get({c.item}, "E:\\out", OpModeQuiet);
        mvx::ClearFaults();
        struct stat status {};
        ASSERT_EQ(stat(victim.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0600u);
        EXPECT_EQ(status.st_uid, geteuid());
        EXPECT_EQ(StreamsOf(victim), Streams{});
        EXPECT_EQ(target.Contents("victim"), "victim");
        std::filesystem::remove_all(target.PathOf("out"));
        std::filesystem::remove(victim);
        Close();
    }
}

}  // namespace
