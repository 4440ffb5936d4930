#include "host/dialogs/ScriptedUi.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

// The host's command that fills a HostPanelInfo about the active panel.
constexpr int kGetPanelInfo = 1;

void WriteItemText(HostDialogItem& item, const std::string& text) {
    size_t length = std::min(text.size(), sizeof(item.text) - 1);
    std::memcpy(item.text, text.data(), length);
    item.text[length] = 0;
}

}  // namespace

ScriptedUi::ScriptedUi(MessageFile messages) : messages(std::move(messages)) {}

void ScriptedUi::AnswerMessageBox(int result) {
    boxAnswers.push_back(result);
}

void ScriptedUi::AnswerDialog(int result, std::vector<ItemChange> changes) {
    dialogAnswers.push_back({result, std::move(changes)});
}

void ScriptedUi::SetPanel(int result, std::vector<PanelItem> items, int currentItem) {
    panelResult = result;
    panelItems = std::move(items);
    panelCurrentItem = currentItem;
}

const char* ScriptedUi::MessageText(int message) {
    return messages.Text(message);
}

int ScriptedUi::ShowMessageBox(unsigned flags, const char* helpTopic, const char* const* lines,
                               int lineCount, int buttonCount) {
    MessageBoxCall call{flags, helpTopic != nullptr, helpTopic ? helpTopic : "", {},
                        buttonCount, -1};
    for (int i = 0; i < lineCount; ++i)
        call.lines.push_back(lines[i] != nullptr ? lines[i] : "");
    if (buttonCount > 0 && !boxAnswers.empty()) {
        call.result = boxAnswers.front();
        boxAnswers.pop_front();
    } else if (buttonCount == 1) {
        call.result = 0;
    } else if (buttonCount > 1) {
        ++unanswered;
    }
    messageBoxes.push_back(std::move(call));
    events.push_back(Event::MessageBox);
    return messageBoxes.back().result;
}

int ScriptedUi::Dialog(int x1, int y1, int x2, int y2, const char* helpTopic,
                       HostDialogItem* items, int count) {
    DialogCall call{x1, y1, x2, y2, helpTopic != nullptr, helpTopic ? helpTopic : "",
                    std::vector<HostDialogItem>(items, items + count), -1};
    if (dialogAnswers.empty()) {
        ++unanswered;
    } else {
        DialogAnswer answer = std::move(dialogAnswers.front());
        dialogAnswers.pop_front();
        for (const ItemChange& change : answer.changes) {
            if (change.index < 0 || change.index >= count)
                continue;
            if (change.selected)
                items[change.index].selected = *change.selected;
            if (change.text)
                WriteItemText(items[change.index], *change.text);
        }
        call.result = answer.result;
    }
    dialogs.push_back(std::move(call));
    events.push_back(Event::Dialog);
    return dialogs.back().result;
}

int ScriptedUi::PanelControl(HANDLE panel, int command, void* param) {
    int result = panelResult;
    if (command == kGetPanelInfo && result != 0 && param != nullptr) {
        HostPanelInfo info;
        std::memset(&info, 0, sizeof(info));
        info.items = panelItems.empty() ? nullptr : panelItems.data();
        info.itemCount = static_cast<int>(panelItems.size());
        info.currentItem = panelCurrentItem;
        std::memcpy(param, &info, sizeof(info));
    }
    panelControls.push_back({panel, command, result});
    events.push_back(Event::PanelControl);
    return result;
}

HANDLE ScriptedUi::ScreenSave(int x1, int y1, int x2, int y2) {
    // Distinct, non-null handles, so a test can match each restore to its save.
    HANDLE screen = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(screenSaves.size() + 1));
    screenSaves.push_back({x1, y1, x2, y2, screen});
    events.push_back(Event::ScreenSave);
    return screen;
}

void ScriptedUi::ScreenRestore(HANDLE screen) {
    screenRestores.push_back(screen);
    events.push_back(Event::ScreenRestore);
}
