// The host UI of the tests: records every call the plug-in makes through its
// services and answers from a script set up beforehand.
//
// Unscripted questions get a careful user's answer: a box with one button is
// acknowledged (0); a box with several buttons and a dialog are closed
// without a choice (-1), and counted in UnansweredQuestions(). A box without
// buttons (a progress notice) asks nothing and returns -1.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "host/dialogs/MessageFile.h"
#include "host/module/HostUi.h"
#include "hostapi/PanelItem.h"

class ScriptedUi : public HostUi {
public:
    struct MessageBoxCall {
        unsigned flags;
        bool hasHelpTopic;
        std::string helpTopic;
        std::vector<std::string> lines;
        int buttonCount;
        int result;
    };

    struct DialogCall {
        int x1, y1, x2, y2;
        bool hasHelpTopic;
        std::string helpTopic;
        std::vector<HostDialogItem> items;  // as the plug-in handed them over
        int result;
    };

    struct PanelControlCall {
        HANDLE panel;
        int command;
        int result;
    };

    struct ScreenSaveCall {
        int x1, y1, x2, y2;
        HANDLE screen;
    };

    // What the user changed in one dialog item before closing the dialog.
    struct ItemChange {
        int index;
        std::optional<int> selected;
        std::optional<std::string> text;
    };

    enum class Event { MessageBox, Dialog, PanelControl, ScreenSave, ScreenRestore };

    explicit ScriptedUi(MessageFile messages = MessageFile::LoadDefault());

    // The script. Answers are used in the order given.
    void AnswerMessageBox(int result);
    void AnswerDialog(int result, std::vector<ItemChange> changes = {});
    // Every panel query from now on gets `result` and, when non-zero, the items.
    void SetPanel(int result, std::vector<PanelItem> items = {}, int currentItem = 0);

    // The record.
    const std::vector<MessageBoxCall>& MessageBoxes() const { return messageBoxes; }
    const std::vector<DialogCall>& Dialogs() const { return dialogs; }
    const std::vector<PanelControlCall>& PanelControls() const { return panelControls; }
    const std::vector<ScreenSaveCall>& ScreenSaves() const { return screenSaves; }
    const std::vector<HANDLE>& ScreenRestores() const { return screenRestores; }
    const std::vector<Event>& Events() const { return events; }
    int UnansweredQuestions() const { return unanswered; }
    int PendingAnswers() const {
        return static_cast<int>(boxAnswers.size() + dialogAnswers.size());
    }
    const MessageFile& Messages() const { return messages; }

    // HostUi.
    const char* MessageText(int message) override;
    int ShowMessageBox(unsigned flags, const char* helpTopic, const char* const* lines,
                       int lineCount, int buttonCount) override;
    int Dialog(int x1, int y1, int x2, int y2, const char* helpTopic, HostDialogItem* items,
               int count) override;
    int PanelControl(HANDLE panel, int command, void* param) override;
    HANDLE ScreenSave(int x1, int y1, int x2, int y2) override;
    void ScreenRestore(HANDLE screen) override;

private:
    struct DialogAnswer {
        int result;
        std::vector<ItemChange> changes;
    };

    MessageFile messages;
    std::deque<int> boxAnswers;
    std::deque<DialogAnswer> dialogAnswers;
    int panelResult = 0;
    std::vector<PanelItem> panelItems;
    int panelCurrentItem = 0;

    std::vector<MessageBoxCall> messageBoxes;
    std::vector<DialogCall> dialogs;
    std::vector<PanelControlCall> panelControls;
    std::vector<ScreenSaveCall> screenSaves;
    std::vector<HANDLE> screenRestores;
    std::vector<Event> events;
    int unanswered = 0;
};
