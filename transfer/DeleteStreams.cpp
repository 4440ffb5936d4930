#include "transfer/DeleteStreams.h"

#include <cstring>

#include "plugin/HostServices.h"
#include "plugin/MessageNumbers.h"
#include "plugin/ScreenKeeper.h"
#include "plugin/ShowError.h"
#include "transfer/HostTextFormat.h"
#include "transfer/ListRefresher.h"
#include "transfer/OperationMode.h"
#include "transfer/StreamSystemName.h"

namespace {

// The question is drawn as the error box is, in the host's warning colours.
constexpr unsigned kQuestionFlags = 1;
constexpr unsigned kNoticeFlags = 0;
constexpr int kQuestionSize = 1024;

const char* Text(int message) {
    return g_HostServices.MessageText(message);
}

// The host may fill the name field to its last byte.
void CopyItemName(const PanelItem& item, char (&name)[MAX_PATH + 1]) {
    size_t length = strnlen(item.fileName, sizeof(item.fileName));
    std::memcpy(name, item.fileName, length);
    name[length] = 0;
}

// True when the user chose the first button, "go ahead".
bool Confirmed(const PanelItem* items, int itemCount) {
    char question[kQuestionSize];
    if (itemCount == 1) {
        char name[MAX_PATH + 1];
        CopyItemName(items[0], name);
        FormatWithName(question, kQuestionSize, Text(kMsgDeleteOneQuestion), name);
    } else {
        FormatWithNumber(question, kQuestionSize, Text(kMsgDeleteManyQuestion), itemCount);
    }
    const char* lines[] = {Text(kMsgDeleteTitle), question, Text(kMsgDeleteAccept),
                           Text(kMsgDeleteCancel)};
    return g_HostServices.ShowMessageBox(kQuestionFlags, nullptr, lines, 4, 2) == 0;
}

void ShowProgressNotice() {
    const char* lines[] = {Text(kMsgProgressTitle), Text(kMsgDeleting)};
    g_HostServices.ShowMessageBox(kNoticeFlags, nullptr, lines, 2, 0);
}

// False after a failed deletion, which the user has been shown.
bool DeleteItemStream(const StreamPanel& panel, const PanelItem& item) {
    const StreamEntry& entry = panel.EntryOf(item);
    if (entry.kindId != BACKUP_ALTERNATE_DATA)
        throw "Plugin can delete only Alternative data stream";
    if (DeleteFileA(StreamSystemName(panel.Path(), entry).Ptr()))
        return true;
    ShowError("Delete error");
    return false;
}

}  // namespace

int DeleteStreams(StreamPanel& panel, const PanelItem* items, int itemCount, unsigned opMode) {
    // A negative count is no selection either, and must not be asked about.
    if (items == nullptr || itemCount <= 0)
        return 0;
    if (!(opMode & OpModeQuiet) && !Confirmed(items, itemCount))
        return 0;
    ScreenKeeper screen;
    if (!(opMode & (OpModeQuiet | OpModeNoProgress))) {
        screen.Save();
        ShowProgressNotice();
    }
    // Declared after the keeper, so the list is read before the screen returns.
    ListRefresher refresher(panel);
    for (int i = 0; i < itemCount; ++i) {
        if (!DeleteItemStream(panel, items[i]))
            return 0;
    }
    return 1;
}
