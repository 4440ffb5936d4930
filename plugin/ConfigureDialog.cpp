#include "plugin/ConfigureDialog.h"

#include "hostapi/DialogItemTemplate.h"
#include "hostapi/DialogItemTypes.h"
#include "hostapi/HostServices.h"
#include "hostapi/MessageNumbers.h"
#include "plugin/Settings.h"

namespace {

enum ConfigureItem {
    kFrameItem,
    kUsedByDefaultItem,
    kParseSecurityItem,
    kSeparatorItem,
    kConfirmItem,
    kCancelItem,
    kConfigureItemCount
};

const DialogItemTemplate ConfigureDialog[kConfigureItemCount] = {
    {kDialogFrame, 3, 1, 72, 6, false, false, 0, false, kMsgSettingsTitle, nullptr},
    {kDialogCheckBox, 5, 2, 0, 0, true, false, 0, false, kMsgUsedByDefault, nullptr},
    {kDialogCheckBox, 5, 3, 0, 0, false, false, 0, false, kMsgParseSecurity, nullptr},
    {kDialogText, 5, 4, 0, 0, false, false, kDialogSeparatorFlags, false, -1, ""},
    {kDialogButton, 0, 5, 0, 0, false, false, kDialogCenterGroup, true, kMsgConfirm, nullptr},
    {kDialogButton, 0, 5, 0, 0, false, false, kDialogCenterGroup, false, kMsgCancel, nullptr},
};

const char kHelpTopic[] = "Config";

}  // namespace

int RunConfigureDialog() {
    DialogItemTemplate templates[kConfigureItemCount];
    for (int i = 0; i < kConfigureItemCount; ++i)
        templates[i] = ConfigureDialog[i];
    templates[kUsedByDefaultItem].selected = UsedByDefault;
    templates[kParseSecurityItem].selected = ParseSecurity;

    HostDialogItem items[kConfigureItemCount];
    MakeHostDialogItems(templates, kConfigureItemCount, items);
    if (g_HostServices.Dialog(kHelpTopic, items, kConfigureItemCount) != kConfirmItem)
        return 0;

    UsedByDefault = items[kUsedByDefaultItem].selected != 0;
    ParseSecurity = items[kParseSecurityItem].selected != 0;
    SaveSwitch(kUsedByDefaultValue, UsedByDefault);
    SaveSwitch(kParseSecurityValue, ParseSecurity);
    return 1;
}
