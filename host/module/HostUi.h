// What a host shows and asks on the plug-in's behalf. The plug-in reaches
// these operations through the services of its StartupInfo (HostBinding);
// a terminal front end implements them for people, ScriptedUi for tests.
#pragma once

#include "hostapi/HostRecords.h"

class HostUi {
public:
    virtual ~HostUi() = default;

    // Text of message `message` of the plug-in's message file; null when the
    // file has no such message.
    virtual const char* MessageText(int message) = 0;
    // The first line is the title, the last `buttonCount` lines are buttons.
    // Returns the index of the chosen button, or -1 when none was chosen.
    virtual int ShowMessageBox(unsigned flags, const char* helpTopic,
                               const char* const* lines, int lineCount, int buttonCount) = 0;
    // Returns the index of the item that closed the dialog, or -1; the
    // selected states and texts of the items are written back.
    virtual int Dialog(int x1, int y1, int x2, int y2, const char* helpTopic,
                       HostDialogItem* items, int count) = 0;
    // Command 1 fills a HostPanelInfo about the active panel. Non-zero on success.
    virtual int PanelControl(HANDLE panel, int command, void* param) = 0;
    virtual HANDLE ScreenSave(int x1, int y1, int x2, int y2) = 0;
    virtual void ScreenRestore(HANDLE screen) = 0;
};
