// The host's vocabulary for dialog items: the item types and flag bits the
// plug-in's dialogs use. What they look like on screen is the host's affair.
#pragma once

#include "platform/win32.h"

enum DialogItemType {
    kDialogText = 0,       // a line of text, or a separator with kDialogSeparatorFlags
    kDialogFrame = 3,      // a double frame whose text is the dialog's title
    kDialogEdit = 4,       // an edit line; the host writes the typed text back
    kDialogButton = 7,     // closes the dialog; its index is the dialog's result
    kDialogCheckBox = 8,   // the host writes its state back to `selected`
};

// Buttons with this flag are centred together on their line.
constexpr DWORD kDialogCenterGroup = 0x4000;
// A text item with these flags is drawn as a line across the dialog.
constexpr DWORD kDialogSeparatorFlags = 0x10200;
