#include "transfer/DeleteStreams.h"

#include "hostapi/HostServices.h"
#include "hostapi/MessageNumbers.h"
#include "hostapi/OperationMode.h"
#include "hostapi/ScreenKeeper.h"
#include "hostapi/ShowError.h"
#include "transfer/FieldText.h"
#include "transfer/HostTextFormat.h"
#include "transfer/ListRefresher.h"
#include "transfer/ProgressNotice.h"
#include "transfer/StreamSystemName.h"

namespace {

// The question is drawn as the error box is, in the host's warning colours.
constexpr unsigned kQuestionFlags = 1;
constexpr int kQuestionSize = 1024;

const char* Text(int message) {
    return g_HostServices.MessageText(message);
}

// True when the user chose the first button, "go ahead".
bool Confirmed(const PanelItem* items, int itemCount) {
    char question[kQuestionSize];
    if (itemCount == 1) {
        FormatWithName(question, kQuestionSize, Text(kMsgDeleteOneQuestion),
                       FieldText(items[0].fileName).Ptr());
    } else {
        FormatWithNumber(question, kQuestionSize, Text(kMsgDeleteManyQuestion), itemCount);
    }
    const char* lines[] = {Text(kMsgDeleteTitle), question, Text(kMsgDeleteAccept),
                           Text(kMsgDeleteCancel)};
    return g_HostServices.ShowMessageBox(kQuestionFlags, nullptr, lines, 4, 2) == 0;
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
    ShowProgressNotice(screen, opMode, kMsgDeleting);
    // Declared after the keeper, so the list is read before the screen returns.
    ListRefresher refresher(panel);
    for (int i = 0; i < itemCount; ++i) {
        if (!DeleteItemStream(panel, items[i]))
            return 0;
    }
    return 1;
}
