// Opening a panel through the loaded module: the two open entry points, the
// checks before a panel is made, and what the host is shown afterwards.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/dialogs/ScriptedUi.h"
#include "host/module/PluginSession.h"
#include "hostapi/MessageNumbers.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/VersionControl.h"
#include "platform/posix/files/DriveMap.h"
#include "tests/platform/MappedDriveSupport.h"
#include "tests/plugin/CoreHostSupport.h"
#include "tests/plugin/TempRegistrySupport.h"

namespace {

constexpr int kOpenFromPanelItem = 1;
constexpr int kOpenFromCommandLine = 4;

struct Listing {
    std::string title;
    std::string path;
    std::vector<std::string> names;
    std::vector<uint64_t> sizes;
};

PanelItem HostItem(const std::string& name) {
    PanelItem item;
    std::memset(&item, 0, sizeof(item));
    std::strncpy(item.fileName, name.c_str(), sizeof(item.fileName) - 1);
    return item;
}

class OpenPathTest : public MappedDriveTest {
protected:
    OpenPathTest() {
        temp.AddDirectory("dir");
        std::string report = temp.AddFile("dir/report.txt", "0123456789");
        EXPECT_EQ(setxattr(report.c_str(), "user.notes", "hello", 5, 0), 0);
    }
    ~OpenPathTest() override { mvx::ResetVersionAnswer(); }

    const PluginEntryPoints& Entries() {
        if (!session)
            session = std::make_unique<PluginSession>(PluginSession::DefaultModulePath(), ui);
        return session->Entries();
    }

    HANDLE OpenCommandLine(const char* text) {
        return Entries().OpenPlugin(kOpenFromCommandLine, reinterpret_cast<INT_PTR>(text));
    }

    // What the host would show of the panel; closes it.
    Listing ListAndClose(HANDLE panel) {
        Listing listing;
        OpenPluginInfo info;
        std::memset(&info, 0, sizeof(info));
        Entries().GetOpenPluginInfo(panel, &info);
        listing.title = info.panelTitle != nullptr ? info.panelTitle : "(null)";
        listing.path = info.filePath != nullptr ? info.filePath : "(null)";
        PanelItem* items = nullptr;
        int count = 0;
        EXPECT_EQ(Entries().GetFindData(panel, &items, &count, 0), 1);
        for (int i = 0; i < count; ++i) {
            listing.names.push_back(items[i].fileName);
            listing.sizes.push_back((static_cast<uint64_t>(items[i].sizeHigh) << 32) |
                                    items[i].sizeLow);
        }
        Entries().FreeFindData(panel, items, count);
        Entries().ClosePlugin(panel);
        return listing;
    }

    // The path of the panel opened by `text` on the command line; "(none)"
    // when no panel was opened.
    std::string OpenedPath(const char* text) {
        HANDLE panel = OpenCommandLine(text);
        return panel == INVALID_HANDLE_VALUE ? "(none)" : ListAndClose(panel).path;
    }

    // The second line of every error box: the line the funnel built.
    std::vector<std::string> ErrorLines() const {
        std::vector<std::string> lines;
        for (const auto& box : ui.MessageBoxes())
            lines.push_back(box.lines.size() == 3 ? box.lines[1] : "(not an error box)");
        return lines;
    }

    void TurnUsedByDefault(int on) {
        ui.AnswerDialog(4, {{1, on, std::nullopt}});
        ASSERT_EQ(Entries().Configure(0), 1);
    }

    TempRegistry registry;
    ScriptedUi ui;
    std::unique_ptr<PluginSession> session;
};

TEST_F(OpenPathTest, EnteringAFileShowsItsStreams) {
    HANDLE panel = Entries().OpenFilePlugin("D:\\dir\\report.txt", nullptr, 0);
    ASSERT_NE(panel, INVALID_HANDLE_VALUE);
    Listing listing = ListAndClose(panel);
    EXPECT_EQ(listing.title, "MORVEX:report.txt");
    EXPECT_EQ(listing.path, "D:\\dir\\report.txt");
    EXPECT_EQ(listing.names, (std::vector<std::string>{"{Data}", "{Security_Data}", "notes"}));
    ASSERT_EQ(listing.sizes.size(), 3u);
    EXPECT_EQ(listing.sizes[0], 10u);
    EXPECT_EQ(listing.sizes[2], 5u);
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(OpenPathTest, EnteringAFileIsRefusedQuietlyWithoutTheSwitchOrAName) {
    Entries();
    mvx::ClearFaults();
    EXPECT_EQ(Entries().OpenFilePlugin(nullptr, nullptr, 0), INVALID_HANDLE_VALUE);
    TurnUsedByDefault(0);
    mvx::ClearFaults();
    EXPECT_EQ(Entries().OpenFilePlugin("D:\\dir\\report.txt", nullptr, 0), INVALID_HANDLE_VALUE);
    // Neither the system nor the file was asked anything.
    EXPECT_EQ(mvx::CallCount("GetVersionExA"), 0u);
    EXPECT_EQ(mvx::CallCount("GetFullPathNameA"), 0u);
    EXPECT_EQ(mvx::CallCount("FindFirstFileA"), 0u);
    EXPECT_TRUE(ui.MessageBoxes().empty());
    // The command line is not bound to the switch.
    EXPECT_EQ(OpenedPath("D:\\dir\\report.txt"), "D:\\dir\\report.txt");
}

TEST_F(OpenPathTest, TheCommandLineLosesOnePairOfQuotesAndSurroundingBlanks) {
    temp.AddDirectory("my dir");
    temp.AddFile("my dir/a b.txt", "x");
    EXPECT_EQ(OpenedPath("\"D:\\my dir\\a b.txt\""), "D:\\my dir\\a b.txt");
    EXPECT_EQ(OpenedPath(" \t\nD:\\dir\\report.txt\n\t "), "D:\\dir\\report.txt");
    EXPECT_EQ(OpenedPath("\" D:\\dir\\report.txt\t\""), "D:\\dir\\report.txt");
    // Relative names start from the current directory of their drive.
    mvx::SetCurrentDirectory("D:\\dir");
    EXPECT_EQ(OpenedPath("report.txt"), "D:\\dir\\report.txt");
    EXPECT_EQ(OpenedPath("..\\dir\\.\\report.txt"), "D:\\dir\\report.txt");
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(OpenPathTest, QuotesThatDoNotEncloseTheTextStayAndFindNothing) {
    const char* texts[] = {"\"",
                           " \"D:\\dir\\report.txt\"",
                           "\"D:\\dir\\report.txt",
                           "D:\\dir\\report.txt\"",
                           "\"\"D:\\dir\\report.txt\"\"",
                           "D:\\dir\\report.txt\r",
                           "",
                           "   ",
                           "\"\""};
    for (const char* text : texts)
        EXPECT_EQ(OpenedPath(text), "(none)") << "opened from [" << text << "]";
    EXPECT_EQ(Entries().OpenPlugin(kOpenFromCommandLine, 0), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(OpenPathTest, OtherOpenCodesOpenNothingAndSayNothing) {
    std::string name = "D:\\dir\\report.txt";
    for (int code : {0, 2, 3, 5, -1}) {
        EXPECT_EQ(Entries().OpenPlugin(code, reinterpret_cast<INT_PTR>(name.c_str())),
                  INVALID_HANDLE_VALUE)
            << "code " << code;
    }
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(OpenPathTest, TheMenuEntryOpensTheCurrentItemOfTheHostsPanel) {
    ui.SetPanel(1, {HostItem("D:\\dir"), HostItem("D:\\dir\\report.txt")}, 1);
    HANDLE panel = Entries().OpenPlugin(kOpenFromPanelItem, 0);
    ASSERT_NE(panel, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ListAndClose(panel).title, "MORVEX:report.txt");
    ASSERT_EQ(ui.PanelControls().size(), 1u);
    EXPECT_EQ(ui.PanelControls()[0].panel, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ui.PanelControls()[0].command, 1);
    EXPECT_TRUE(ui.MessageBoxes().empty());
}

TEST_F(OpenPathTest, TheMenuEntryReportsARefusedQueryAndAnEmptyPanel) {
    ui.SetPanel(0, {HostItem("D:\\dir\\report.txt")});
    EXPECT_EQ(Entries().OpenPlugin(kOpenFromPanelItem, 0), INVALID_HANDLE_VALUE);
    ui.SetPanel(1, {});
    EXPECT_EQ(Entries().OpenPlugin(kOpenFromPanelItem, 0), INVALID_HANDLE_VALUE);
    // A current index the items do not reach reads no memory beyond them.
    ui.SetPanel(1, {HostItem("D:\\dir\\report.txt")}, 1);
    EXPECT_EQ(Entries().OpenPlugin(kOpenFromPanelItem, 0), INVALID_HANDLE_VALUE);
    ui.SetPanel(1, {HostItem("D:\\dir\\report.txt")}, -1);
    EXPECT_EQ(Entries().OpenPlugin(kOpenFromPanelItem, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(ErrorLines(), (std::vector<std::string>{
                                "OpenPlugin #142134", "OpenPlugin: There are no items",
                                "OpenPlugin: There are no items",
                                "OpenPlugin: There are no items"}));
}

TEST_F(OpenPathTest, AnItemNameFillingItsWholeFieldIsNotReadBeyondIt) {
    PanelItem item = HostItem("");
    std::memset(item.fileName, 'a', sizeof(item.fileName));
    std::memset(item.alternateFileName, 'b', sizeof(item.alternateFileName));
    ui.SetPanel(1, {item});
    EXPECT_EQ(Entries().OpenPlugin(kOpenFromPanelItem, 0), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(ui.MessageBoxes().empty());
}

TEST_F(OpenPathTest, AnOlderSystemIsRefusedAtEveryOpen) {
    const DWORD refused[][2] = {{VER_PLATFORM_WIN32_WINDOWS, 4}, {VER_PLATFORM_WIN32s, 10},
                                {VER_PLATFORM_WIN32_NT, 3}};
    for (const auto& version : refused) {
        mvx::SetVersionAnswer(version[0], version[1], 51);
        EXPECT_EQ(OpenCommandLine("D:\\dir\\report.txt"), INVALID_HANDLE_VALUE);
        EXPECT_EQ(Entries().OpenFilePlugin("D:\\dir\\report.txt", nullptr, 0),
                  INVALID_HANDLE_VALUE);
    }
    // Even a name that does not exist gets the refusal: the system comes first.
    EXPECT_EQ(OpenCommandLine("D:\\missing"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(ErrorLines(), std::vector<std::string>(7, MessageText(ui, kMsgUnsupportedSystem)));

    mvx::SetVersionAnswer(VER_PLATFORM_WIN32_NT, 4, 0);
    EXPECT_EQ(OpenedPath("D:\\dir\\report.txt"), "D:\\dir\\report.txt");
}

TEST_F(OpenPathTest, ASystemThatWillNotSayItsVersionIsReported) {
    Entries();
    mvx::InjectFault("GetVersionExA", 1, ERROR_INVALID_PARAMETER);
    mvx::InjectFault("GetVersionExA", 2, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(OpenCommandLine("D:\\dir\\report.txt"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(Entries().OpenFilePlugin("D:\\dir\\report.txt", nullptr, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(ErrorLines(), (std::vector<std::string>{"OpenPlugin: GetVersionEx fails",
                                                      "OpenFilePlugin: GetVersionEx fails"}));
}

TEST_F(OpenPathTest, NamesThatFindNothingOpenNothingQuietly) {
    EXPECT_EQ(OpenedPath("D:\\dir\\missing.txt"), "(none)");
    EXPECT_EQ(OpenedPath("Q:\\unmapped\\report.txt"), "(none)");
    // A full path of MAX_PATH characters or more cannot be formed.
    std::string tooLong = "D:\\dir\\" + std::string(MAX_PATH, 'x');
    EXPECT_EQ(OpenedPath(tooLong.c_str()), "(none)");
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(OpenPathTest, ADirectoryOpensAsAPanelToo) {
    HANDLE panel = OpenCommandLine("D:\\dir");
    ASSERT_NE(panel, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ListAndClose(panel).path, "D:\\dir");
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(OpenPathTest, AFileThatCannotBeReadGivesNoPanelAndLeavesNothingBehind) {
    Entries();
    // The search finds the file; opening it for backup reading is refused.
    mvx::InjectFault("CreateFileA", 1, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(OpenCommandLine("D:\\dir\\report.txt"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(mvx::CallCount("CreateFileA"), 1u);
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(OpenPathTest, AWalkThatFailsIsReportedAfterThePanelIsGone) {
    Entries();
    mvx::InjectFault("BackupRead", 2, ERROR_INVALID_FUNCTION);
    EXPECT_EQ(OpenCommandLine("D:\\dir\\report.txt"), INVALID_HANDLE_VALUE);
    ASSERT_EQ(ui.MessageBoxes().size(), 1u);
    EXPECT_EQ(ErrorLines()[0].rfind("OpenPlugin", 0), 0u) << ErrorLines()[0];
    // The file was let go: it opens again at once.
    EXPECT_EQ(OpenedPath("D:\\dir\\report.txt"), "D:\\dir\\report.txt");
}

TEST_F(OpenPathTest, ClosingTheNoPanelValueDoesNothing) {
    Entries().ClosePlugin(INVALID_HANDLE_VALUE);
    Entries().ClosePlugin(nullptr);
    EXPECT_TRUE(ui.Events().empty());
}

}  // namespace
