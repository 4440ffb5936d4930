#include "transfer/ExtractDialog.h"

#include "hostapi/DialogItemTemplate.h"
#include "hostapi/DialogItemTypes.h"
#include "hostapi/HostServices.h"
#include "hostapi/MessageNumbers.h"
#include "hostapi/ShowError.h"
#include "transfer/DirectoryTree.h"
#include "transfer/FieldText.h"

namespace {

enum ExtractItem { kFrameItem, kLabelItem, kPathItem, kAcceptItem, kCancelItem, kItemCount };

const DialogItemTemplate ExtractDialog[kItemCount] = {
    {kDialogFrame, 3, 1, 72, 6, false, false, 0, false, kMsgExtractTitle, nullptr},
    {kDialogText, 5, 2, 0, 0, false, false, 0, false, kMsgExtractLabel, nullptr},
    {kDialogEdit, 5, 3, 70, 3, true, false, 0, false, -1, nullptr},
    {kDialogButton, 0, 5, 0, 0, false, false, kDialogCenterGroup, true, kMsgExtractAccept,
     nullptr},
    {kDialogButton, 0, 5, 0, 0, false, false, kDialogCenterGroup, false, kMsgExtractCancel,
     nullptr},
};

const char kHelpTopic[] = "Extract";
constexpr int kEditLineRoom = sizeof(HostDialogItem::text) - 1;

CStringBase<char> TrimmedText(const HostDialogItem& item) {
    CStringBase<char> trimmed = FieldText(item.text);
    trimmed.TrimRight();
    trimmed.TrimLeft();
    return trimmed;
}

}  // namespace

bool RunExtractDialog(CStringBase<char>& destination) {
    // Cutting the path to fit would extract to another directory.
    if (destination.Length() > kEditLineRoom)
        throw "The destination path is too long for the dialog";
    DialogItemTemplate templates[kItemCount];
    for (int i = 0; i < kItemCount; ++i)
        templates[i] = ExtractDialog[i];
    templates[kPathItem].text = destination.Ptr();
    HostDialogItem items[kItemCount];
    MakeHostDialogItems(templates, kItemCount, items);
    for (;;) {
        if (g_HostServices.Dialog(kHelpTopic, items, kItemCount) != kAcceptItem)
            return false;
        CStringBase<char> typed = TrimmedText(items[kPathItem]);
        if (EndsWithBackslash(typed)) {
            destination = typed;
            return true;
        }
        ShowError("You must specify directory path");
    }
}
