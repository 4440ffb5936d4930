#include "host/TerminalUi.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <ostream>
#include <utility>
#include <vector>

#include "plugin/DialogItemTypes.h"

namespace {

const char kNoAnswer[] = "(no answer given: closed without a choice)";

void SetItemText(HostDialogItem& item, const std::string& text) {
    size_t length = std::min(text.size(), sizeof(item.text) - 1);
    std::memcpy(item.text, text.data(), length);
    item.text[length] = 0;
}

// The text of a dialog item, which the plug-in may have filled to the brim.
std::string ItemText(const HostDialogItem& item) {
    return std::string(item.text, strnlen(item.text, sizeof(item.text)));
}

// The 1-based number of a choice among `count`, or 0.
int ChoiceNumber(const std::string& answer, int count) {
    if (answer.empty() || answer.size() > 3 ||
        !std::all_of(answer.begin(), answer.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    int number = std::stoi(answer);
    return number >= 1 && number <= count ? number : 0;
}

}  // namespace

TerminalUi::TerminalUi(MessageFile messages, std::istream& input, std::ostream& output,
                       bool interactive)
    : messages(std::move(messages)), input(input), output(output), interactive(interactive) {}

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
    buttonCount = std::clamp(buttonCount, 0, std::max(lineCount, 0));
    int textLines = std::max(lineCount, 0) - buttonCount;
    for (int i = 0; i < textLines; ++i)
        output << (lines[i] != nullptr ? lines[i] : "") << '\n';
    output.flush();
    if (buttonCount == 0)
        return -1;
    if (buttonCount == 1)
        return 0;
    if (questionBoxAnswer)
        return *questionBoxAnswer < buttonCount ? *questionBoxAnswer : -1;
    if (!interactive)
        return CloseUnanswered();
    return AskButton(lines + textLines, buttonCount, -1);
}

int TerminalUi::Dialog(int, int, int, int, const char*, HostDialogItem* items, int count) {
    if (!dialogAnswers.empty()) {
        DialogAnswer answer = std::move(dialogAnswers.front());
        dialogAnswers.pop_front();
        return answer(items, count);
    }
    if (!interactive) {
        for (int i = 0; i < count; ++i) {
            if (items[i].type == kDialogFrame)
                output << ItemText(items[i]) << '\n';
        }
        return CloseUnanswered();
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

void TerminalUi::ScreenRestore(HANDLE) {}

int TerminalUi::CloseUnanswered() {
    output << kNoAnswer << std::endl;
    ++unanswered;
    return -1;
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

int TerminalUi::AskButton(const char* const* buttons, int count, int defaultButton) {
    std::string prompt;
    for (int i = 0; i < count; ++i)
        prompt += "  " + std::to_string(i + 1) + ") " + (buttons[i] != nullptr ? buttons[i] : "");
    prompt += defaultButton >= 0 ? "  [" + std::to_string(defaultButton + 1) + "]: " : ": ";
    for (;;) {
        std::optional<std::string> answer = ReadAnswer(prompt);
        if (!answer)
            return -1;
        if (answer->empty() && defaultButton >= 0)
            return defaultButton;
        if (int number = ChoiceNumber(*answer, count); number != 0)
            return number - 1;
    }
}

int TerminalUi::AskDialog(HostDialogItem* items, int count) {
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
                    output << ItemText(item) << '\n';
                break;
        }
    }
    if (buttonItems.empty())
        return -1;
    std::vector<const char*> buttons;
    for (const std::string& text : buttonTexts)
        buttons.push_back(text.c_str());
    int chosen = AskButton(buttons.data(), static_cast<int>(buttons.size()), defaultButton);
    return chosen < 0 ? -1 : buttonItems[static_cast<size_t>(chosen)];
}

void TerminalUi::AskCheckBox(HostDialogItem& item) {
    std::string prompt = std::string(item.selected != 0 ? "[x] " : "[ ] ") + ItemText(item) +
                         " (y/n, Enter keeps): ";
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

void TerminalUi::AskEditLine(HostDialogItem& item) {
    std::optional<std::string> answer = ReadAnswer("[" + ItemText(item) + "] (Enter keeps): ");
    if (answer && !answer->empty())
        SetItemText(item, *answer);
}
