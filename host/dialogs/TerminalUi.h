// The host UI of the morvex program. Error boxes become error lines, and a
// progress notice is a line on the terminal while the work runs, erased when
// it is done. Questions (dialogs, and boxes with more than one button) are
// answered from the answers the command line gave; without one, they are asked
// on the terminal when the input is one, and otherwise closed without a choice
// and without a word: the command says which option answers them.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "host/dialogs/MessageFile.h"
#include "host/module/HostUi.h"

class TerminalUi : public HostUi {
public:
    // Answers one dialog: may change the items' states and texts, returns
    // the index of the item that closes it (-1 for none).
    using DialogAnswer = std::function<int(HostDialogItem* items, int count)>;

    // `input` is read only when `interactive`. Prompts, questions and error
    // lines go to `output`; progress notices too, but only when `showProgress`
    // (the output is a terminal, where a line can be erased).
    TerminalUi(MessageFile messages, std::istream& input, std::ostream& output, bool interactive,
               bool showProgress = false);
    ~TerminalUi() override;
    TerminalUi(const TerminalUi&) = delete;
    TerminalUi& operator=(const TerminalUi&) = delete;

    // The next dialog is answered so, without a question.
    void AnswerDialog(DialogAnswer answer);
    // Every box with several buttons is answered with `button`.
    void AnswerQuestionBoxes(int button);
    bool IsInteractive() const { return interactive; }
    // Asks a dialog on the terminal, item by item: the edit lines and check
    // boxes, then which button closes it. Returns the index of that button's
    // item, or -1 when the input ends first.
    int AskDialog(HostDialogItem* items, int count);
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
    // The work the screen was saved for is done: its notice goes.
    void ScreenRestore(HANDLE screen) override;

private:
    void ShowNotice(const std::string& text);
    void EraseNotice();
    void TellHeldErrors();
    void ReportError(std::vector<std::string> texts, DWORD systemError);
    // A line from the input with its line end removed; nothing at its end.
    std::optional<std::string> ReadAnswer(const std::string& prompt);
    int AskButton(const std::vector<std::string>& buttons, int defaultButton);
    void AskCheckBox(HostDialogItem& item);
    void AskEditLine(HostDialogItem& item);

    MessageFile messages;
    std::istream& input;
    std::ostream& output;
    bool interactive;
    bool showProgress;
    std::deque<DialogAnswer> dialogAnswers;
    std::optional<int> questionBoxAnswer;
    int unanswered = 0;
    size_t noticeWidth = 0;  // columns of the notice on the terminal; 0 when none is shown
};
