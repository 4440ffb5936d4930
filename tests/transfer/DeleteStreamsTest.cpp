// Deleting streams through the loaded module's DeleteFiles, on real files with
// real user attributes: what the user is asked and shown, what is deleted,
// and that the panel lists the file as it is afterwards.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "hostapi/OperationMode.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/text/CodePages.h"
#include "tests/transfer/StreamPanelSupport.h"

namespace {

using Texts = std::vector<std::string>;

const char kQuestion1[] = "1/2 Delete streams|Do you want to delete the stream \"s0\"?|Delete|Keep";
const char kNotice[] = "0/0 MORVEX|Deleting streams...";
const char kRefusal[] = "1/1 MORVEX error|DeleteFiles: Plugin can delete only Alternative data "
                        "stream|OK";
const char kNotInList[] = "1/1 MORVEX error|DeleteFiles: The item is no longer in the stream "
                          "list|OK";
const char kDeleteError[] = "1/1 MORVEX error|Delete error|OK";

class DeleteStreamsTest : public StreamPanelTest {
protected:
    // Opens a panel on a new file <leaf> holding `streams`, each holding its name.
    void Open(const Texts& streams, const std::string& leaf = "f") {
        Streams named;
        for (const std::string& stream : streams)
            named[stream] = stream;
        StreamPanelTest::Open(named, leaf);
    }

    int Delete(const Texts& names, unsigned mode = OpModeQuiet) {
        std::vector<PanelItem> items = Selection(names);
        return entries.DeleteFiles(panel, items.data(), static_cast<int>(items.size()), mode);
    }

    Texts StreamsLeft() const {
        Texts left;
        for (const auto& stream : StreamsOf(path))
            left.push_back(stream.first);
        return left;
    }
};

std::string QuestionFor(int count) {
    return "1/2 Delete streams|Do you want to delete " + std::to_string(count) +
           " streams?|Delete|Keep";
}

TEST_F(DeleteStreamsTest, TheModeDecidesWhatIsAskedAndShown) {
    const Texts all = {"s0", "s1", "s2", "s3", "s4"};
    struct Case {
        int count;
        unsigned mode;
        Texts boxes;
    };
    const Case cases[] = {
        {1, 0, {kQuestion1, kNotice}},
        {2, 0, {QuestionFor(2), kNotice}},
        {5, OpModeNoProgress, {QuestionFor(5)}},
        {5, 4, {QuestionFor(5), kNotice}},  // no such bit
        {1, OpModeQuiet, {}},
        {2, OpModeQuiet | OpModeNoProgress, {}},
    };
    for (const Case& c : cases) {
        Open(all, "f" + std::to_string(&c - cases));
        ui.AnswerMessageBox(0);
        EXPECT_EQ(Delete(Texts(all.begin(), all.begin() + c.count), c.mode), 1);
        EXPECT_EQ(Boxes(), c.boxes) << c.count << " " << c.mode;
        const Texts kept(all.begin() + c.count, all.end());
        EXPECT_EQ(StreamsLeft(), kept);
        Texts listed = {"{Data}", "{Security_Data}"};
        listed.insert(listed.end(), kept.begin(), kept.end());
        EXPECT_EQ(Names(), listed);
    }
}

TEST_F(DeleteStreamsTest, DecliningOrSelectingNothingDeletesNothing) {
    Open({"s0"});
    // The host may fill the name field to its last byte; the question stops there.
    std::vector<PanelItem> items = Selection({"s0"});
    std::memset(items[0].fileName, 'n', sizeof(items[0].fileName));
    std::memcpy(items[0].alternateFileName, "TAIL", 5);
    const std::string question = "1/2 Delete streams|Do you want to delete the stream \"" +
                                 std::string(MAX_PATH, 'n') + "\"?|Delete|Keep";
    for (int answer : {1, -1}) {
        ui.AnswerMessageBox(answer);
        EXPECT_EQ(entries.DeleteFiles(panel, items.data(), 1, 0), 0);
        EXPECT_EQ(Boxes(), Texts{question});
    }
    for (int count : {0, -1})
        EXPECT_EQ(entries.DeleteFiles(panel, items.data(), count, 0), 0);
    EXPECT_EQ(entries.DeleteFiles(panel, nullptr, 1, 0), 0);
    EXPECT_EQ(ui.Events().size(), 2u);
    EXPECT_EQ(StreamsLeft(), Texts{"s0"});
}

TEST_F(DeleteStreamsTest, FailuresEndTheDeletionWhereTheyHappen) {
    struct Case {
        Texts selection;
        const char* fault;  // the layer function failing on its first call, or null
        Texts boxes;
        Texts left;
        Texts listed;  // the items afterwards
    };
    const Texts three = {"{Data}", "{Security_Data}", "s0", "s1", "s2"};
    const std::string outOfStep = "1/1 MORVEX error|DeleteFiles #4090303|OK";
    const Case cases[] = {
        {{"{Data}"}, nullptr, {kRefusal}, {"s0", "s1", "s2"}, three},
        {{"s0", "{Security_Data}", "s1"}, nullptr, {kRefusal}, {"s1", "s2"},
         {"{Data}", "{Security_Data}", "s1", "s2"}},
        // Five items: #4 is the last of them, #5 one past it.
        {{"#5"}, nullptr, {kNotInList}, {"s0", "s1", "s2"}, three},
        {{"#4"}, nullptr, {}, {"s0", "s1"}, {"{Data}", "{Security_Data}", "s0", "s1"}},
        {{"s0", "s1"}, "DeleteFileA", {kDeleteError}, {"s0", "s1", "s2"}, three},
        // The re-read cannot open the file: the panel keeps its list.
        {{"s0"}, "CreateFileA", {}, {"s1", "s2"}, three},
        {{"s0"}, "BackupRead", {outOfStep}, {"s1", "s2"}, {}},
        // A failing re-read does not hide the failure that is leaving.
        {{"s0", "{Data}"}, "BackupRead", {kRefusal}, {"s1", "s2"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        Open({"s0", "s1", "s2"}, "f" + std::to_string(&c - cases));
        if (c.fault)
            mvx::InjectFault(c.fault, 1, ERROR_ACCESS_DENIED);
        EXPECT_EQ(Delete(c.selection), c.boxes.empty() ? 1 : 0);
        mvx::ClearFaults();
        EXPECT_EQ(Boxes(), c.boxes);
        EXPECT_EQ(StreamsLeft(), c.left);
        EXPECT_EQ(Names(), c.listed);
    }
}

TEST_F(DeleteStreamsTest, AStreamGoneSinceTheListingIsADeleteError) {
    Open({"s0", "gone", "s2"});
    std::vector<PanelItem> items = Selection({"s0", "gone", "s2"});
    ASSERT_EQ(removexattr(path.c_str(), "user.gone"), 0);
    ui.AnswerMessageBox(0);
    EXPECT_EQ(entries.DeleteFiles(panel, items.data(), 3, 0), 0);
    EXPECT_EQ(Boxes().back(), kDeleteError);
    EXPECT_EQ(StreamsLeft(), Texts{"s2"});
    using Event = ScriptedUi::Event;
    EXPECT_EQ(ui.Events(), (std::vector<Event>{Event::MessageBox, Event::ScreenSave,
                                                Event::MessageBox, Event::MessageBox,
                                                Event::ScreenRestore}));
    EXPECT_EQ(Names(), (Texts{"{Data}", "{Security_Data}", "s2"}));
}

TEST_F(DeleteStreamsTest, ANameTheSystemWouldReadAsAnotherIsNotDeleted) {
    struct OemPage {
        UINT saved = GetOEMCP();
        ~OemPage() { mvx::SetCodePages(0, saved); }
    } restored;
    const std::string refusal =
        "1/1 MORVEX error|DeleteFiles: The stream name cannot be passed to the system unchanged|OK";
    // Windows drops a trailing dot, so "x." would reach the stream x there;
    // Linux keeps it.
    Open({"x", "x."});
    EXPECT_EQ(Delete({"x[46]"}), 1);
    EXPECT_EQ(StreamsLeft(), (Texts{"x"}));
    // Page 437 has no U+65E5: that stream is listed as "?", like the stream "?".
    mvx::SetCodePages(0, 437);
    Open({"?", "\xE6\x97\xA5"}, "g");
    std::vector<PanelItem> items = Items();
    auto lost = std::find_if(items.begin(), items.end(),
                             [](const PanelItem& item) { return item.sizeLow == 3; });
    ASSERT_NE(lost, items.end());
    EXPECT_STREQ(lost->fileName, "?");
    EXPECT_EQ(entries.DeleteFiles(panel, &*lost, 1, OpModeQuiet), 0);
    EXPECT_EQ(Boxes(), (Texts{refusal}));
    EXPECT_EQ(StreamsLeft(), (Texts{"?", "\xE6\x97\xA5"}));
}

}  // namespace
