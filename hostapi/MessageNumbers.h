// Numbers of the texts in the host's message file for this module. The texts
// themselves belong to the host; the plug-in only knows what each one is for.
#pragma once

enum MessageNumber {
    kMsgConfirm = 0,
    kMsgCancel = 1,
    kMsgErrorTitle = 3,
    kMsgExtractTitle = 4,
    kMsgExtractLabel = 5,
    kMsgExtractAccept = 6,
    kMsgExtractCancel = 7,
    kMsgDeleteTitle = 8,
    kMsgDeleteOneQuestion = 9,     // printf format taking the item's name (%s)
    kMsgDeleteManyQuestion = 11,   // printf format taking the item count (%d)
    kMsgDeleteAccept = 12,
    kMsgDeleteCancel = 13,
    kMsgProgressTitle = 14,
    kMsgExtracting = 15,
    kMsgDeleting = 16,
    kMsgWriting = 17,
    kMsgUnsupportedSystem = 18,
    kMsgPluginEntry = 19,          // the menu and configuration entry
    kMsgSettingsTitle = 20,
    kMsgUsedByDefault = 21,
    kMsgParseSecurity = 22,
};
