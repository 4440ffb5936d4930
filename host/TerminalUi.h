// The host UI of the morvex program. Message boxes and progress notices are
// written to the error stream, line by line. Questions (dialogs, and boxes
// with more than one button) are answered from the answers the command line
// gave; without one, they are asked on the terminal when the input is one,
// and otherwise closed without a choice.
#pragma once

#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "host/HostUi.h"
#include "host/MessageFile.h"

class TerminalUi : public HostUi {
public:
    // Answers one dialog: may change the items' states and texts, returns
    // the index of the item that closes it (-1 for none).
    using DialogAnswer = std::function<int(HostDialogItem* items, int count)>;

    // `input` is read only when `interactive`; prompts and boxes go to `output`.
    TerminalUi(MessageFile messages, std::istream& input, std::ostream& output,
               bool interactive);

    // The next dialog is answered so, without a question.
    void AnswerDialog(DialogAnswer answer);
    // Every box with several buttons is answered with `button`.
    void AnswerQuestionBoxes(int button);
    // How many questions were closed without a choice for want of a terminal.
    int UnansweredQuestions() const { return unanswered; }

    // HostUi.
    const char* MessageText(int message) override;
    int ShowMessageBox(unsigned flags, const char* helpTopic, const char* const* lines,
                       int lineCount, int buttonCount) override;
    int Dialog(int x1, int y1, int x2, int y2, const char* helpTopic, HostDialogItem* items,
               int count) override;
    // There is no panel beside the plug-in's: the query is refused.
    int PanelControl(HANDLE panel, int command, void* param) override;
    HANDLE ScreenSave(int x1, int y1, int x2, int y2) override;
    void ScreenRestore(HANDLE screen) override;

private:
    // Says that no answer was given, and closes the question without a choice.
    int CloseUnanswered();
    // A line from the input with its line end removed; nothing at its end.
    std::optional<std::string> ReadAnswer(const std::string& prompt);
    int AskButton(const char* const* buttons, int count, int defaultButton);
    int AskDialog(HostDialogItem* items, int count);
    void AskCheckBox(HostDialogItem& item);
    void AskEditLine(HostDialogItem& item);

    MessageFile messages;
    std::istream& input;
    std::ostream& output;
    bool interactive;
    std::deque<DialogAnswer> dialogAnswers;
    std::optional<int> questionBoxAnswer;
    int unanswered = 0;
};
