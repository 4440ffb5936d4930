#include "host/dialogs/ScriptedUi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

HostDialogItem EditItem(const char* text) {
    HostDialogItem item = {};
    item.type = 4;
    std::strcpy(item.text, text);
    return item;
}

TEST(ScriptedUi, DialogAnswersWriteTheUsersChangesBack) {
    ScriptedUi ui;
    ui.AnswerDialog(3, {{1, 1, std::nullopt}, {2, std::nullopt, std::string("E:\\new\\")}});
    HostDialogItem items[3] = {EditItem("title"), EditItem("box"), EditItem("E:\\out\\")};
    EXPECT_EQ(ui.Dialog(-1, -1, 76, 8, "Extract", items, 3), 3);
    EXPECT_EQ(items[1].selected, 1);
    EXPECT_STREQ(items[1].text, "box");
    EXPECT_STREQ(items[2].text, "E:\\new\\");
    // The record keeps the items as the plug-in sent them.
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    EXPECT_STREQ(ui.Dialogs()[0].items[2].text, "E:\\out\\");
    EXPECT_EQ(ui.Dialogs()[0].items[1].selected, 0);
    EXPECT_EQ(ui.UnansweredQuestions(), 0);
}

TEST(ScriptedUi, AnEditedTextLongerThanTheItemIsCutAndTerminated) {
    ScriptedUi ui;
    ui.AnswerDialog(3, {{0, std::nullopt, std::string(600, 'p')}});
    HostDialogItem item = EditItem("");
    ui.Dialog(-1, -1, 76, 8, "Extract", &item, 1);
    EXPECT_EQ(std::string(item.text), std::string(511, 'p'));
}

TEST(ScriptedUi, AnswersAreUsedInOrderAndUnscriptedQuestionsAreDeclined) {
    ScriptedUi ui;
    ui.AnswerMessageBox(1);
    ui.AnswerMessageBox(0);
    const char* question[] = {"Delete", "Delete it?", "Delete", "Keep"};
    const char* progress[] = {"Wait", "Working"};
    const char* error[] = {"Error", "failed", "OK"};
    EXPECT_EQ(ui.ShowMessageBox(0, nullptr, progress, 2, 0), -1);  // takes no answer
    EXPECT_EQ(ui.ShowMessageBox(1, nullptr, question, 4, 2), 1);
    EXPECT_EQ(ui.ShowMessageBox(1, nullptr, question, 4, 2), 0);
    EXPECT_EQ(ui.ShowMessageBox(1, nullptr, question, 4, 2), -1);
    EXPECT_EQ(ui.ShowMessageBox(1, nullptr, error, 3, 1), 0);
    HostDialogItem item = EditItem("");
    EXPECT_EQ(ui.Dialog(-1, -1, 76, 8, "Config", &item, 1), -1);
    EXPECT_EQ(ui.UnansweredQuestions(), 2);
    EXPECT_EQ(ui.PendingAnswers(), 0);
    EXPECT_EQ(ui.MessageBoxes().size(), 5u);
}

TEST(ScriptedUi, ThePanelQueryFillsTheHostRecord) {
    ScriptedUi ui;
    HostPanelInfo info;
    std::memset(&info, 0x5A, sizeof(info));
    EXPECT_EQ(ui.PanelControl(INVALID_HANDLE_VALUE, 1, &info), 0);
    EXPECT_EQ(info.itemCount, 0x5A5A5A5A);  // a refusal writes nothing

    PanelItem report = {};
    std::strcpy(report.fileName, "report.txt");
    ui.SetPanel(1, {PanelItem{}, report}, 1);
    EXPECT_EQ(ui.PanelControl(INVALID_HANDLE_VALUE, 1, &info), 1);
    ASSERT_EQ(info.itemCount, 2);
    EXPECT_EQ(info.currentItem, 1);
    EXPECT_STREQ(info.items[info.currentItem].fileName, "report.txt");
    ASSERT_EQ(ui.PanelControls().size(), 2u);
    EXPECT_EQ(ui.PanelControls()[1].panel, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ui.PanelControls()[1].command, 1);
}

TEST(ScriptedUi, RecordsEventsInTheOrderTheyHappened) {
    ScriptedUi ui;
    HANDLE first = ui.ScreenSave(0, 0, -1, -1);
    const char* progress[] = {"Wait", "Working"};
    ui.ShowMessageBox(0, nullptr, progress, 2, 0);
    HANDLE second = ui.ScreenSave(0, 0, -1, -1);
    ui.ScreenRestore(second);
    ui.ScreenRestore(first);
    EXPECT_NE(first, nullptr);
    EXPECT_NE(first, second);
    using Event = ScriptedUi::Event;
    EXPECT_EQ(ui.Events(), (std::vector<Event>{Event::ScreenSave, Event::MessageBox,
                                               Event::ScreenSave, Event::ScreenRestore,
                                               Event::ScreenRestore}));
    EXPECT_EQ(ui.ScreenRestores(), (std::vector<HANDLE>{second, first}));
}

}  // namespace
