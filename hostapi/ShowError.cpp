#include "hostapi/ShowError.h"

#include "hostapi/HostServices.h"
#include "hostapi/MessageNumbers.h"

namespace {
// The host draws a box with this flag in its warning colours.
constexpr unsigned kErrorBoxFlags = 1;
}  // namespace

void ShowError(const char* text) {
    const char* lines[] = {g_HostServices.MessageText(kMsgErrorTitle), text,
                           g_HostServices.MessageText(kMsgConfirm)};
    g_HostServices.ShowMessageBox(kErrorBoxFlags, nullptr, lines, 3, 1);
}

void ShowErrorMessage(int message) {
    ShowError(g_HostServices.MessageText(message));
}
