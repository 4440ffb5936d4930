#include "transfer/ProgressNotice.h"

#include "hostapi/HostServices.h"
#include "hostapi/MessageNumbers.h"
#include "hostapi/OperationMode.h"

namespace {
constexpr unsigned kNoticeFlags = 0;
}  // namespace

void ShowProgressNotice(ScreenKeeper& screen, unsigned opMode, int message) {
    if (opMode & (OpModeQuiet | OpModeNoProgress))
        return;
    screen.Save();
    const char* lines[] = {g_HostServices.MessageText(kMsgProgressTitle),
                           g_HostServices.MessageText(message)};
    g_HostServices.ShowMessageBox(kNoticeFlags, nullptr, lines, 2, 0);
}
