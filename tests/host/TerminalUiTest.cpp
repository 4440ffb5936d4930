// The terminal host UI: what it prints for boxes and how it answers questions,
// from the command line's answers, from the terminal, or not at all.
#include "host/dialogs/TerminalUi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/messages/ErrorBoxHold.h"
#include "hostapi/DialogItemTypes.h"

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
    TerminalUi& Ui(bool interactive, const std::string& typed = "", bool showProgress = false) {
        input.str(typed);
        input.clear();
        ui = std::make_unique<TerminalUi>(MessageFile::LoadDefault(), input, output, interactive,
                                          showProgress);
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
    // The title gives way to the program's name; a notice needs a terminal.
    EXPECT_EQ(output.str(), "morvex: OpenPlugin: There are no items\n");
    // Counts that do not fit the lines read no line beyond them.
    EXPECT_EQ(Box({"only"}, 3), 0);
    EXPECT_EQ(Box({"shown"}, -2), -1);
}

TEST_F(TerminalUiTest, AnErrorNumberComesWithTheSystemsReasonAtTheTimeOfTheBox) {
    struct Case {
        std::vector<const char*> lines;
        DWORD lastError;
        std::string shown;
    };
    const Case cases[] = {
        {{"MORVEX error", "GetFiles #4090303", "OK"}, ERROR_ACCESS_DENIED,
         "morvex: GetFiles #4090303\nmorvex: the system says: Access is denied.\n"},
        {{"MORVEX error", "GetFiles #4090303", "OK"}, NO_ERROR, "morvex: GetFiles #4090303\n"},
        // A code without a text adds nothing; a text error says its own cause.
        {{"MORVEX error", "GetFiles #1", "OK"}, 0x2000FFFF, "morvex: GetFiles #1\n"},
        {{"MORVEX error", "GetFiles: Copy error", "OK"}, ERROR_ACCESS_DENIED,
         "morvex: GetFiles: Copy error\n"},
        {{"MORVEX error", "GetFiles #", "OK"}, ERROR_ACCESS_DENIED, "morvex: GetFiles #\n"},
        {{"MORVEX error", "a b #4", "OK"}, ERROR_ACCESS_DENIED, "morvex: a b #4\n"},
        {{"MORVEX error", "first\x1b]0;title\x07", "second", "OK"}, NO_ERROR,
         "morvex: first\\x1b]0;title\\x07\nmorvex: second\n"},
    };
    for (const Case& c : cases) {
        output.str("");
        Ui(false);
        SetLastError(c.lastError);
        EXPECT_EQ(Box(c.lines, 1), 0);
        EXPECT_EQ(output.str(), c.shown);
    }
    // While a hold is in scope, the box goes to it, with the code of its time.
    output.str("");
    ErrorBoxHold hold;
    SetLastError(ERROR_FILE_NOT_FOUND);
    Box({"MORVEX error", "OpenPlugin #4090303", "OK"}, 1);
    SetLastError(NO_ERROR);
    EXPECT_EQ(output.str(), "");
    ASSERT_EQ(hold.Boxes().size(), 1u);
    EXPECT_EQ(hold.Boxes()[0].SystemReason(), "The system cannot find the file specified.");
}

TEST_F(TerminalUiTest, AProgressNoticeIsALineOnTheTerminalUntilTheWorkIsDone) {
    for (bool onTerminal : {false, true}) {
        output.str("");
        Ui(false, "", onTerminal);
        const std::string erased = "\r" + std::string(21, ' ') + "\r";
        Box({"MORVEX", "Extracting streams..."}, 0);
        EXPECT_EQ(output.str(), onTerminal ? "Extracting streams..." : "");
        ui->ScreenRestore(ui->ScreenSave(0, 0, -1, -1));
        EXPECT_EQ(output.str(), onTerminal ? "Extracting streams..." + erased : "");
        // A notice goes before anything else is said, and when the UI ends.
        Box({"MORVEX", "Deleting streams..."}, 0);
        Box({"MORVEX error", "Delete error", "OK"}, 1);
        Box({"MORVEX", "Writing..."}, 0);
        ui.reset();
        EXPECT_EQ(output.str(), onTerminal ? "Extracting streams..." + erased +
                                                 "Deleting streams...\r" + std::string(19, ' ') +
                                                 "\rmorvex: Delete error\nWriting...\r" +
                                                 std::string(10, ' ') + "\r"
                                           : "morvex: Delete error\n");
    }
}

TEST_F(TerminalUiTest, QuestionsWithoutAnAnswerAreClosedWithoutAChoice) {
    Ui(false, "1\n");
    EXPECT_EQ(Box({"Delete streams", "Delete notes?", "Delete", "Keep"}, 2), -1);
    std::vector<HostDialogItem> items = SampleDialog();
    EXPECT_EQ(ui->Dialog(-1, -1, 76, 8, "Extract", items.data(), 7), -1);
    EXPECT_STREQ(items[2].text, "E:\\out\\");
    // The command says which option answers them; nothing is printed here.
    EXPECT_EQ(output.str(), "");
    EXPECT_EQ(ui->UnansweredQuestions(), 2);
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
    // A name cut to fit would name another folder: a longer one is refused
    // and asked again, and Enter then keeps the text as it was.
    const size_t room = sizeof(HostDialogItem::text) - 1;
    for (size_t length : {room, room + 1, size_t{600}}) {
        output.str("");
        Ui(true, std::string(length, 'x') + "\n\n\n\n");
        std::vector<HostDialogItem> items = SampleDialog();
        EXPECT_EQ(ui->Dialog(-1, -1, 76, 8, "Extract", items.data(), 7), 5) << length;
        const bool fits = length <= room;
        EXPECT_EQ(std::string(items[2].text), fits ? std::string(length, 'x') : "E:\\out\\");
        EXPECT_EQ(output.str().find("morvex: the name is longer than the 511 bytes the dialog "
                                    "holds\n") != std::string::npos,
                  !fits)
            << length;
    }
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

// A question takes what a terminal user types: the button's number, its
// text, the first letter only it begins with, and between two buttons y or n.
TEST_F(TerminalUiTest, AQuestionTakesTheAnswersATerminalUserTypes) {
    struct Case {
        std::vector<const char*> lines;  // title, text, then the buttons
        const char* typed;
        int chosen;  // -1: asked until the input ended
    };
    const std::vector<const char*> two = {"Delete streams", "Delete notes?", "Delete", "Keep"};
    const std::vector<const char*> three = {"T", "Q?", "Delete", "Discard", "Cancel"};
    const Case cases[] = {
        {two, "1\n", 0},      {two, "2\n", 1},   {two, "3\n", -1},     {two, "0\n", -1},
        {two, "y\n", 0},      {two, "YES\n", 0}, {two, "n\n", 1},      {two, "No\n", 1},
        {two, "delete\n", 0}, {two, "K\n", 1},   {two, "ye\n", -1},    {two, "x\n", -1},
        {three, "y\n", -1},   {three, "c\n", 2}, {three, "d\n", -1},   {three, "discard\n", 1},
        {three, "3\n", 2},    {three, "4\n", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + " among " + std::to_string(c.lines.size() - 2));
        Ui(true, c.typed);
        EXPECT_EQ(Box(c.lines, static_cast<int>(c.lines.size()) - 2), c.chosen);
    }
}

}  // namespace
