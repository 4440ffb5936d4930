// The records the host hands the plug-in, or fills for it, and the host's
// services. They cross the module boundary, so sizes and offsets are fixed and
// every service uses the Windows API calling convention with 32-bit arguments.
#pragma once

#include <cstddef>

#include "hostapi/PanelItem.h"
#include "platform/win32.h"

// One item of a host dialog: 548 bytes. The host writes `selected` and `text`
// back when the dialog closes.
struct HostDialogItem {
    int type;
    int x1;
    int y1;
    int x2;
    int y2;
    int focus;
    int selected;
    DWORD flags;
    int defaultButton;
    char text[512];
};

static_assert(sizeof(HostDialogItem) == 548, "HostDialogItem is 548 bytes");
static_assert(offsetof(HostDialogItem, type) == 0, "HostDialogItem layout");
static_assert(offsetof(HostDialogItem, x1) == 4, "HostDialogItem layout");
static_assert(offsetof(HostDialogItem, y1) == 8, "HostDialogItem layout");
static_assert(offsetof(HostDialogItem, x2) == 12, "HostDialogItem layout");
static_assert(offsetof(HostDialogItem, y2) == 16, "HostDialogItem layout");
static_assert(offsetof(HostDialogItem, focus) == 20, "HostDialogItem layout");
static_assert(offsetof(HostDialogItem, selected) == 24, "HostDialogItem layout");
static_assert(offsetof(HostDialogItem, flags) == 28, "HostDialogItem layout");
static_assert(offsetof(HostDialogItem, defaultButton) == 32, "HostDialogItem layout");
static_assert(offsetof(HostDialogItem, text) == 36, "HostDialogItem layout");

// The answer to the panel query: a 496-byte buffer of which the plug-in reads
// the items of the host's active panel and the index of its current item.
struct HostPanelInfo {
    BYTE hostBytes0[24];
    PanelItem* items;
    int itemCount;
    BYTE hostBytes32[8];
    int currentItem;
    BYTE hostBytes44[452];
};

static_assert(sizeof(HostPanelInfo) == 496, "HostPanelInfo is 496 bytes");
static_assert(offsetof(HostPanelInfo, items) == 24, "HostPanelInfo layout");
static_assert(offsetof(HostPanelInfo, itemCount) == 28, "HostPanelInfo layout");
static_assert(offsetof(HostPanelInfo, currentItem) == 40, "HostPanelInfo layout");

typedef const char*(WINAPI* HostMessageTextFunction)(int module, int message);
typedef int(WINAPI* HostMessageBoxFunction)(int module, unsigned flags, const char* helpTopic,
                                            const char* const* lines, int lineCount,
                                            int buttonCount);
typedef int(WINAPI* HostDialogFunction)(int module, int x1, int y1, int x2, int y2,
                                        const char* helpTopic, HostDialogItem* items, int count);
typedef int(WINAPI* HostPanelControlFunction)(HANDLE panel, int command, void* param);
typedef HANDLE(WINAPI* HostScreenSaveFunction)(int x1, int y1, int x2, int y2);
typedef void(WINAPI* HostScreenRestoreFunction)(HANDLE screen);

// What the host hands to SetStartupInfo: 336 bytes. The plug-in uses the
// module number (its key to the host's message file for this module), the
// root of the host's registry settings and the services; the other bytes are
// the host's and are only carried along.
struct StartupInfo {
    BYTE hostBytes0[264];
    int moduleNumber;
    const char* rootKeyPath;
    void* hostPointer272;
    HostDialogFunction HostDialog;
    HostMessageBoxFunction HostMessageBox;
    HostMessageTextFunction HostMessageText;
    HostPanelControlFunction HostPanelControl;
    HostScreenSaveFunction HostScreenSave;
    HostScreenRestoreFunction HostScreenRestore;
    BYTE hostBytes300[36];
};

static_assert(sizeof(StartupInfo) == 336, "StartupInfo is 336 bytes");
static_assert(offsetof(StartupInfo, moduleNumber) == 264, "StartupInfo layout");
static_assert(offsetof(StartupInfo, rootKeyPath) == 268, "StartupInfo layout");
static_assert(offsetof(StartupInfo, hostPointer272) == 272, "StartupInfo layout");
static_assert(offsetof(StartupInfo, HostDialog) == 276, "StartupInfo layout");
static_assert(offsetof(StartupInfo, HostMessageBox) == 280, "StartupInfo layout");
static_assert(offsetof(StartupInfo, HostMessageText) == 284, "StartupInfo layout");
static_assert(offsetof(StartupInfo, HostPanelControl) == 288, "StartupInfo layout");
static_assert(offsetof(StartupInfo, HostScreenSave) == 292, "StartupInfo layout");
static_assert(offsetof(StartupInfo, HostScreenRestore) == 296, "StartupInfo layout");
static_assert(offsetof(StartupInfo, hostBytes300) == 300, "StartupInfo layout");
