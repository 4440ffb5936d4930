#include "hostapi/HostServices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "hostapi/DialogItemTemplate.h"
#include "hostapi/EntryPoints.h"
#include "hostapi/MessageNumbers.h"
#include "hostapi/ScreenKeeper.h"
#include "hostapi/ShowError.h"
#include "tests/plugin/CoreHostSupport.h"

namespace {

TEST(SettingsKeyPath, IsTheHostRootFollowedByThePluginName) {
    CoreHost host("Software\\Host\\Plugins");
    EXPECT_STREQ(g_HostServices.SettingsKeyPath.Ptr(), "Software\\Host\\Plugins\\MORVEX");
}

TEST(SettingsKeyPath, ASecondStartupRebuildsItFromTheNewRoot) {
    CoreHost host("Software\\First");
    StartupInfo second = g_HostServices.startup;
    second.rootKeyPath = "Software\\Second";
    SetStartupInfo(&second);
    EXPECT_STREQ(g_HostServices.SettingsKeyPath.Ptr(), "Software\\Second\\MORVEX");
    SetStartupInfo(&second);
    EXPECT_STREQ(g_HostServices.SettingsKeyPath.Ptr(), "Software\\Second\\MORVEX");
}

TEST(HostServices, AHostWithoutServicesIsRefusedNotCalled) {
    CoreHost host;
    StartupInfo bare = {};
    SetStartupInfo(&bare);
    EXPECT_STREQ(g_HostServices.MessageText(kMsgErrorTitle), "");
    EXPECT_STREQ(g_HostServices.SettingsKeyPath.Ptr(), "\\MORVEX");
    ShowError("nobody sees this");
    HostDialogItem item = {};
    EXPECT_EQ(g_HostServices.Dialog("Config", &item, 1), -1);
    EXPECT_EQ(g_HostServices.PanelControl(INVALID_HANDLE_VALUE, 1, nullptr), 0);
    ScreenKeeper screen;
    screen.Save();
    EXPECT_TRUE(host.ui.Events().empty());
}

TEST(HostServices, AMessageTheHostLacksReadsAsEmpty) {
    CoreHost host;
    EXPECT_STREQ(g_HostServices.MessageText(9999), "");
    EXPECT_STREQ(g_HostServices.MessageText(kMsgPluginEntry),
                 MessageText(host.ui, kMsgPluginEntry).c_str());
}

TEST(HostServices, DialogsAreCentredInTheirExtentWithTheirHelpTopic) {
    CoreHost host;
    host.ui.AnswerDialog(4);
    HostDialogItem items[2] = {};
    EXPECT_EQ(g_HostServices.Dialog("Config", items, 2), 4);
    ASSERT_EQ(host.ui.Dialogs().size(), 1u);
    const ScriptedUi::DialogCall& dialog = host.ui.Dialogs()[0];
    EXPECT_EQ(dialog.x1, -1);
    EXPECT_EQ(dialog.y1, -1);
    EXPECT_EQ(dialog.x2, 76);
    EXPECT_EQ(dialog.y2, 8);
    EXPECT_EQ(dialog.helpTopic, "Config");
    EXPECT_EQ(dialog.items.size(), 2u);
}

TEST(ShowError, ShowsTitleTextAndOneConfirmButtonAsAWarning) {
    CoreHost host;
    ShowErrorMessage(kMsgUnsupportedSystem);
    ASSERT_EQ(host.ui.MessageBoxes().size(), 1u);
    const ScriptedUi::MessageBoxCall& box = host.ui.MessageBoxes()[0];
    EXPECT_EQ(box.flags, 1u);
    EXPECT_FALSE(box.hasHelpTopic);
    EXPECT_EQ(box.buttonCount, 1);
    EXPECT_EQ(box.lines, (std::vector<std::string>{MessageText(host.ui, kMsgErrorTitle),
                                                   MessageText(host.ui, kMsgUnsupportedSystem),
                                                   MessageText(host.ui, kMsgConfirm)}));
}

TEST(ScreenKeeper, SavesOnceAndRestoresOnceWhenLeavingScope) {
    CoreHost host;
    {
        ScreenKeeper screen;
        screen.Save();
        screen.Save();
    }
    ASSERT_EQ(host.ui.ScreenSaves().size(), 1u);
    const ScriptedUi::ScreenSaveCall& save = host.ui.ScreenSaves()[0];
    EXPECT_EQ(save.x1, 0);
    EXPECT_EQ(save.y1, 0);
    EXPECT_EQ(save.x2, -1);
    EXPECT_EQ(save.y2, -1);
    EXPECT_EQ(host.ui.ScreenRestores(), std::vector<HANDLE>{save.screen});
}

TEST(ScreenKeeper, AnEarlyRestoreIsNotRepeatedAtScopeEnd) {
    CoreHost host;
    {
        ScreenKeeper screen;
        screen.Restore();
        screen.Save();
        screen.Restore();
        screen.Restore();
    }
    EXPECT_EQ(host.ui.ScreenSaves().size(), 1u);
    EXPECT_EQ(host.ui.ScreenRestores().size(), 1u);
}

TEST(ScreenKeeper, RestoresWhenAnErrorLeavesTheScope) {
    CoreHost host;
    try {
        ScreenKeeper screen;
        screen.Save();
        throw "Copy error";
    } catch (const char*) {
    }
    EXPECT_EQ(host.ui.ScreenRestores().size(), 1u);
}

TEST(ScreenKeeper, ANeverSavedScreenIsNeverRestored) {
    CoreHost host;
    { ScreenKeeper screen; }
    EXPECT_TRUE(host.ui.Events().empty());
}

class DialogItemTemplateTest : public ::testing::Test {
protected:
    HostDialogItem Convert(const DialogItemTemplate& item) {
        HostDialogItem converted;
        std::memset(&converted, 0x5A, sizeof(converted));
        item.ToHostItem(converted);
        return converted;
    }

    CoreHost host;
};

TEST_F(DialogItemTemplateTest, CopiesEveryFieldWithFlagsAsZeroOrOne) {
    DialogItemTemplate button = {7, 1, 5, 70, 6, true, false, 0x4000, true, kMsgConfirm, "unused"};
    HostDialogItem item = Convert(button);
    EXPECT_EQ(item.type, 7);
    EXPECT_EQ(item.x1, 1);
    EXPECT_EQ(item.y1, 5);
    EXPECT_EQ(item.x2, 70);
    EXPECT_EQ(item.y2, 6);
    EXPECT_EQ(item.focus, 1);
    EXPECT_EQ(item.selected, 0);
    EXPECT_EQ(item.flags, 0x4000u);
    EXPECT_EQ(item.defaultButton, 1);
    EXPECT_EQ(std::string(item.text), MessageText(host.ui, kMsgConfirm));

    DialogItemTemplate box = {8, 5, 2, 0, 0, false, true, 0, false, kMsgUsedByDefault, nullptr};
    item = Convert(box);
    EXPECT_EQ(item.focus, 0);
    EXPECT_EQ(item.selected, 1);
    EXPECT_EQ(item.defaultButton, 0);
}

TEST_F(DialogItemTemplateTest, ANegativeNumberTakesTheGivenText) {
    DialogItemTemplate edit = {4, 5, 3, 70, 3, true, false, 0, false, -1, "E:\\out\\"};
    EXPECT_STREQ(Convert(edit).text, "E:\\out\\");
    DialogItemTemplate separator = {0, 5, 4, 0, 0, false, false, 0x10200, false, -1, nullptr};
    EXPECT_STREQ(Convert(separator).text, "");
    // Message 0 is a message number, not "no message".
    DialogItemTemplate first = {7, 0, 5, 0, 0, false, false, 0, false, 0, "text"};
    EXPECT_EQ(std::string(Convert(first).text), MessageText(host.ui, 0));
}

TEST_F(DialogItemTemplateTest, ATextTooLongForTheRecordIsCutAndTerminated) {
    std::string fits(511, 'a');
    DialogItemTemplate edit = {4, 5, 3, 70, 3, true, false, 0, false, -1, fits.c_str()};
    EXPECT_EQ(std::string(Convert(edit).text), fits);

    std::string tooLong = std::string(511, 'b') + "cut";
    edit.text = tooLong.c_str();
    HostDialogItem item = Convert(edit);
    EXPECT_EQ(item.text[511], 0);
    EXPECT_EQ(std::string(item.text), std::string(511, 'b'));
}

}  // namespace
