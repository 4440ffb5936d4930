// How the plug-in describes a dialog item: like the host's record, but with
// its text given as a message number, or as text when the number is negative.
#pragma once

#include "hostapi/HostRecords.h"

struct DialogItemTemplate {
    int type;
    int x1;
    int y1;
    int x2;
    int y2;
    bool focus;
    bool selected;
    DWORD flags;
    bool defaultButton;
    int messageNumber;
    const char* text;  // used when messageNumber < 0; null reads as empty

    // The host's record for this item. A text longer than the record holds is
    // cut to fit, always terminated.
    void ToHostItem(HostDialogItem& item) const;
};

void MakeHostDialogItems(const DialogItemTemplate* templates, int count, HostDialogItem* items);
