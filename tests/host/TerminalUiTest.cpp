// The terminal host UI: what it prints for boxes and how it answers questions,
// from the command line's answers, from the terminal, or not at all.
#include "host/TerminalUi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "plugin/DialogItemTypes.h"

namespace {

HostDialogItem Item(int type, const char* text, int selected = 0, int defaultButton = 0) {
    HostDialogItem item = {};
    item.type = type;
    item.selected = selected;
    item.defaultButton = defaultButton;
    std::strcpy(item.text, text);
    return item;
}

// A dialog as the plug-in's dialogs are built: frame, label, edit line,
// check box, separator, two buttons of which the first is the default.
std::vector<HostDialogItem> SampleDialog() {
    return {Item(kDialogFrame, "Extract streams"), Item(kDialogText, "Copy to:"),
            Item(kDialogEdit, "E:\\out\\"),        Item(kDialogCheckBox, "Move", 0),
            Item(kDialogText, ""),                 Item(kDialogButton, "Extract", 0, 1),
            Item(kDialogButton, "Cancel")};
}

class TerminalUiTest : public ::testing::Test {
protected:
    TerminalUi& Ui(bool interactive, const std::string& typed = "") {
        input.str(typed);
        input.clear();
        ui = std::make_unique<TerminalUi>(MessageFile::LoadDefault(), input, output, interactive);
        return *ui;
    }

    int Box(std::vector<const char*> lines, int buttons) {
        return ui->ShowMessageBox(0, nullptr, lines.data(), static_cast<int>(lines.size()),
                                  buttons);
    }

    std::istringstream input;
    std::ostringstream output;
    std::unique_ptr<TerminalUi> ui;
};

TEST_F(TerminalUiTest, BoxesPrintTheirLinesButNotTheirButtons) {
    Ui(false);
    EXPECT_EQ(Box({"MORVEX error", "OpenPlugin: There are no items", "OK"}, 1), 0);
    EXPECT_EQ(Box({"MORVEX", "Extracting streams..."}, 0), -1);
    EXPECT_EQ(output.str(),
              "MORVEX error\nOpenPlugin: There are no items\nMORVEX\nExtracting streams...\n");
    // Counts that do not fit the lines read no line beyond them.
    EXPECT_EQ(Box({"only"}, 3), 0);
    EXPECT_EQ(Box({"shown"}, -2), -1);
}

TEST_F(TerminalUiTest, QuestionsWithoutAnAnswerAreClosedWithoutAChoice) {
    Ui(false, "1\n");
    EXPECT_EQ(Box({"Delete streams", "Delete notes?", "Delete", "Keep"}, 2), -1);
    std::vector<HostDialogItem> items = SampleDialog();
    EXPECT_EQ(ui->Dialog(-1, -1, 76, 8, "Extract", items.data(), 7), -1);
    EXPECT_STREQ(items[2].text, "E:\\out\\");
    EXPECT_NE(output.str().find("Extract streams\n"), std::string::npos);
    // Nothing was read: without a terminal the input is not the user's.
    EXPECT_EQ(input.tellg(), 0);
}

TEST_F(TerminalUiTest, TheCommandLinesAnswersAreGivenWithoutAsking) {
    Ui(true, "");
    ui->AnswerQuestionBoxes(0);
    EXPECT_EQ(Box({"Delete streams", "Delete notes?", "Delete", "Keep"}, 2), 0);
    EXPECT_EQ(Box({"Delete streams", "Delete 3 streams?", "Delete", "Keep"}, 2), 0);
    ui->AnswerQuestionBoxes(5);
    EXPECT_EQ(Box({"Delete streams", "Delete notes?", "Delete", "Keep"}, 2), -1);

    ui->AnswerDialog([](HostDialogItem* items, int count) {
        EXPECT_EQ(count, 7);
        std::strcpy(items[2].text, "E:\\other\\");
        return 5;
    });
    std::vector<HostDialogItem> items = SampleDialog();
    EXPECT_EQ(ui->Dialog(-1, -1, 76, 8, "Extract", items.data(), 7), 5);
    EXPECT_STREQ(items[2].text, "E:\\other\\");
    // An answer serves one dialog; the next one is asked, and the input has ended.
    EXPECT_EQ(ui->Dialog(-1, -1, 76, 8, "Extract", items.data(), 7), -1);
}

TEST_F(TerminalUiTest, ADialogIsAskedItemByItemOnTheTerminal) {
    Ui(true, "D:\\new\\\nmaybe\ny\n\n");
    std::vector<HostDialogItem> items = SampleDialog();
    EXPECT_EQ(ui->Dialog(-1, -1, 76, 8, "Extract", items.data(), 7), 5);
    EXPECT_STREQ(items[2].text, "D:\\new\\");
    EXPECT_EQ(items[3].selected, 1);
    const std::string shown = output.str();
    EXPECT_NE(shown.find("Extract streams\nCopy to:\n[E:\\out\\]"), std::string::npos) << shown;
    EXPECT_NE(shown.find("1) Extract  2) Cancel  [1]: "), std::string::npos) << shown;

    // Enter keeps what the plug-in filled in; the second button is chosen by number.
    Ui(true, "\nn\nx\n9\n2\n");
    items = SampleDialog();
    items[3].selected = 1;
    EXPECT_EQ(ui->Dialog(-1, -1, 76, 8, "Extract", items.data(), 7), 6);
    EXPECT_STREQ(items[2].text, "E:\\out\\");
    EXPECT_EQ(items[3].selected, 0);
}

TEST_F(TerminalUiTest, AnEditLineTakesNoMoreThanItsRecordHolds) {
    Ui(true, std::string(600, 'x') + "\n\n\n");
    std::vector<HostDialogItem> items = SampleDialog();
    EXPECT_EQ(ui->Dialog(-1, -1, 76, 8, "Extract", items.data(), 7), 5);
    EXPECT_EQ(std::strlen(items[2].text), sizeof(items[2].text) - 1);
}

TEST_F(TerminalUiTest, TheEndOfTheInputClosesQuestionsWithoutAChoice) {
    Ui(true, "3\n\n");
    // A box has no default button: Enter and numbers out of range are asked again.
    EXPECT_EQ(Box({"Delete streams", "Delete notes?", "Delete", "Keep"}, 2), -1);
    Ui(true, "2\r\n");
    EXPECT_EQ(Box({"Delete streams", "Delete notes?", "Delete", "Keep"}, 2), 1);
    Ui(true, "y\n");
    std::vector<HostDialogItem> items = SampleDialog();
    EXPECT_EQ(ui->Dialog(-1, -1, 76, 8, "Extract", items.data(), 7), -1);
}

}  // namespace
