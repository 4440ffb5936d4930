#include "host/dialogs/TerminalUi.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <istream>
#include <ostream>
#include <utility>

#include "host/messages/ErrorBoxHold.h"
#include "host/messages/ErrorLine.h"
#include "host/text/TerminalText.h"
#include "host/text/Utf8Text.h"
#include "hostapi/DialogItemTypes.h"

namespace {

// The text of a dialog item, which the plug-in may have filled to the brim.
std::string ItemText(const HostDialogItem& item) {
    return std::string(item.text, strnlen(item.text, sizeof(item.text)));
}

std::string Lowered(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The 1-based number of the choice `answer` makes among `buttons`, or 0: its
// number, its text or the first letter only it begins with, whatever the
// letter case; between two buttons, y or yes is the first and n or no the
// second, as a terminal user answers a question.
int ChoiceNumber(const std::string& answer, const std::vector<std::string>& buttons) {
    const int count = static_cast<int>(buttons.size());
    if (!answer.empty() && answer.size() <= 3 &&
        std::all_of(answer.begin(), answer.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const int number = std::stoi(answer);
        return number >= 1 && number <= count ? number : 0;
    }
    const std::string typed = Lowered(answer);
    if (count == 2 && (typed == "y" || typed == "yes"))
        return 1;
    if (count == 2 && (typed == "n" || typed == "no"))
        return 2;
    int byLetter = 0, matches = 0;
    for (int i = 0; i < count; ++i) {
        const std::string button = Lowered(buttons[i]);
        if (!typed.empty() && button == typed)
            return i + 1;
        if (typed.size() == 1 && !button.empty() && button[0] == typed[0]) {
            byLetter = i + 1;
            ++matches;
        }
    }
    return matches == 1 ? byLetter : 0;
}

// The lines of a box as UTF-8. The plug-in writes them in the OEM code page,
// as console programs read them: a box may name a stream by its item name.
std::vector<std::string> BoxTexts(const char* const* lines, int count) {
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(lines[i] != nullptr ? ToUtf8(lines[i], CP_OEMCP) : std::string());
    return texts;
}

}  // namespace

TerminalUi::TerminalUi(MessageFile messages, std::istream& input, std::ostream& output,
                       bool interactive, bool showProgress)
    : messages(std::move(messages)),
      input(input),
      output(output),
      interactive(interactive),
      showProgress(showProgress) {}

TerminalUi::~TerminalUi() {
    EraseNotice();
}

void TerminalUi::AnswerDialog(DialogAnswer answer) {
    dialogAnswers.push_back(std::move(answer));
}

void TerminalUi::AnswerQuestionBoxes(int button) {
    questionBoxAnswer = button;
}

const char* TerminalUi::MessageText(int message) {
    return messages.Text(message);
}

int TerminalUi::ShowMessageBox(unsigned, const char*, const char* const* lines, int lineCount,
                               int buttonCount) {
    // The last error tells why the plug-in failed, and the conversions below
    // go through the system, which may change it.
    const DWORD systemError = GetLastError();
    EraseNotice();
    lineCount = std::max(lineCount, 0);
    buttonCount = std::clamp(buttonCount, 0, lineCount);
    std::vector<std::string> texts = BoxTexts(lines, lineCount - buttonCount);
    if (buttonCount == 0) {
        if (!texts.empty())
            ShowNotice(texts.back());
        return -1;
    }
    if (buttonCount == 1) {
        ReportError(std::move(texts), systemError);
        return 0;
    }
    if (questionBoxAnswer)
        return *questionBoxAnswer < buttonCount ? *questionBoxAnswer : -1;
    if (!interactive) {
        ++unanswered;
        return -1;
    }
    TellHeldErrors();
    for (const std::string& text : texts)
        output << ForTerminal(text) << '\n';
    return AskButton(BoxTexts(lines + texts.size(), buttonCount), -1);
}

int TerminalUi::Dialog(int, int, int, int, const char*, HostDialogItem* items, int count) {
    EraseNotice();
    if (!dialogAnswers.empty()) {
        DialogAnswer answer = std::move(dialogAnswers.front());
        dialogAnswers.pop_front();
        return answer(items, count);
    }
    if (!interactive) {
        ++unanswered;
        return -1;
    }
    return AskDialog(items, count);
}

int TerminalUi::PanelControl(HANDLE, int, void*) {
    return 0;
}

HANDLE TerminalUi::ScreenSave(int, int, int, int) {
    // Nothing is drawn over: there is no screen to give back, only a token.
    static char screen;
    return &screen;
}

void TerminalUi::ScreenRestore(HANDLE) {
    EraseNotice();
}

void TerminalUi::ShowNotice(const std::string& text) {
    if (!showProgress)
        return;
    const TerminalCharset& charset = TerminalCharset::OfLocale();
    const std::string escaped = charset.Escape(text);
    output << charset.Encode(escaped) << std::flush;
    noticeWidth = std::max<size_t>(TerminalWidth(escaped), 1);
}

void TerminalUi::EraseNotice() {
    if (noticeWidth == 0)
        return;
    output << '\r' << std::string(noticeWidth, ' ') << '\r' << std::flush;
    noticeWidth = 0;
}

// The first line is the box's title; the error lines carry the program's name
// instead.
void TerminalUi::ReportError(std::vector<std::string> texts, DWORD systemError) {
    if (texts.size() > 1)
        texts.erase(texts.begin());
    ErrorBox box{std::move(texts), systemError};
    if (ErrorBoxHold* hold = ErrorBoxHold::Innermost())
        hold->Add(std::move(box));
    else
        WriteErrorBox(box, output);
}

std::optional<std::string> TerminalUi::ReadAnswer(const std::string& prompt) {
    output << prompt << std::flush;
    std::string line;
    if (!std::getline(input, line)) {
        output << '\n';
        return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

int TerminalUi::AskButton(const std::vector<std::string>& buttons, int defaultButton) {
    const int count = static_cast<int>(buttons.size());
    std::string prompt;
    for (int i = 0; i < count; ++i)
        prompt += "  " + std::to_string(i + 1) + ") " + ForTerminal(buttons[i]);
    prompt += defaultButton >= 0 ? "  [" + std::to_string(defaultButton + 1) + "]: " : ": ";
    for (;;) {
        std::optional<std::string> answer = ReadAnswer(prompt);
        if (!answer)
            return -1;
        if (answer->empty() && defaultButton >= 0)
            return defaultButton;
        if (int number = ChoiceNumber(*answer, buttons); number != 0)
            return number - 1;
    }
}

// Errors held for a command to tell are told before a question, which may
// well be about them ("You must specify directory path").
void TerminalUi::TellHeldErrors() {
    ErrorBoxHold* hold = ErrorBoxHold::Innermost();
    if (hold == nullptr)
        return;
    for (const ErrorBox& box : hold->Boxes())
        WriteErrorBox(box, output);
    hold->Boxes().clear();
}

// The dialog's texts but the edit lines' are the host's own messages, UTF-8.
int TerminalUi::AskDialog(HostDialogItem* items, int count) {
    TellHeldErrors();
    std::vector<int> buttonItems;
    std::vector<std::string> buttonTexts;
    int defaultButton = -1;
    for (int i = 0; i < count; ++i) {
        HostDialogItem& item = items[i];
        switch (item.type) {
            case kDialogCheckBox:
                AskCheckBox(item);
                break;
            case kDialogEdit:
                AskEditLine(item);
                break;
            case kDialogButton:
                if (item.defaultButton != 0)
                    defaultButton = static_cast<int>(buttonItems.size());
                buttonItems.push_back(i);
                buttonTexts.push_back(ItemText(item));
                break;
            default:
                if (item.text[0] != 0)
                    output << ForTerminal(ItemText(item)) << '\n';
                break;
        }
    }
    if (buttonItems.empty())
        return -1;
    int chosen = AskButton(buttonTexts, defaultButton);
    return chosen < 0 ? -1 : buttonItems[static_cast<size_t>(chosen)];
}

void TerminalUi::AskCheckBox(HostDialogItem& item) {
    std::string prompt = std::string(item.selected != 0 ? "[x] " : "[ ] ") +
                         ForTerminal(ItemText(item)) + " (y/n, Enter keeps): ";
    for (;;) {
        std::optional<std::string> answer = ReadAnswer(prompt);
        if (!answer || answer->empty())
            return;
        if (*answer == "y" || *answer == "yes") {
            item.selected = 1;
            return;
        }
        if (*answer == "n" || *answer == "no") {
            item.selected = 0;
            return;
        }
    }
}

// An edit line holds a name for the system's file functions, in the code page
// of file names. What the user types must reach them whole: a name cut to fit
// the item, or with a stand-in character, would name another file.
void TerminalUi::AskEditLine(HostDialogItem& item) {
    const std::string prompt =
        "[" + ForTerminal(ToUtf8(ItemText(item).c_str(), CP_ACP)) + "] (Enter keeps): ";
    for (;;) {
        std::optional<std::string> answer = ReadAnswer(prompt);
        if (!answer || answer->empty())
            return;
        std::string typed, name;
        if (!TerminalCharset::OfLocale().Read(*answer, typed) || !FromUtf8(typed, CP_ACP, name)) {
            WriteErrorLine(output, "the name cannot be given in the code page of file names");
        } else if (name.size() >= sizeof(item.text)) {
            WriteErrorLine(output, "the name is longer than the " +
                                       std::to_string(sizeof(item.text) - 1) +
                                       " bytes the dialog holds");
        } else {
            std::memcpy(item.text, name.c_str(), name.size() + 1);
            return;
        }
    }
}
