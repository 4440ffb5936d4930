// One open panel: the streams of one file, listed as panel items. The host
// holds the panel's address as its handle until it closes the panel.
#pragma once

#include "common/FileInfo.h"
#include "common/OwningVector.h"
#include "common/StringBase.h"
#include "hostapi/OpenPluginInfo.h"
#include "hostapi/PanelItem.h"
#include "streams/StreamEntry.h"

class StreamPanel {
public:
    StreamPanel() = default;
    StreamPanel(const StreamPanel&) = delete;
    StreamPanel& operator=(const StreamPanel&) = delete;

    // Keeps the file's full path and what the search found about it, then
    // lists its streams. False when the file cannot be opened for backup
    // reading.
    bool Open(const CStringBase<char>& path, const FileInfo& info);

    // Lists the file's streams anew. False, with the list as it was, when the
    // file cannot be opened; a failing walk throws, and the list then holds the
    // streams found before the failure.
    bool ReadStreamList();

    // Hands the host a new block of one item per stream, in list order, and
    // returns 1. The block is the host's until it passes it to FreeFindData.
    int GetFindData(PanelItem** items, int* itemCount, int opMode) const;

    // Frees a block made by GetFindData, with its descriptions.
    static void FreeFindData(PanelItem* items, int itemCount);

    // Describes the panel; the texts pointed to live as long as the panel.
    void GetOpenPluginInfo(OpenPluginInfo* info);

    const CStringBase<char>& Path() const { return path; }
    const FileInfo& Info() const { return fileInfo; }
    int StreamCount() const { return streams.Size(); }

    // The stream behind an item of the last GetFindData. The host may hand back
    // items of a list that has been read again since and is shorter now: such
    // an item throws "The item is no longer in the stream list".
    const StreamEntry& EntryOf(const PanelItem& item) const;

private:
    static const int kTextSize = 1024;

    // "MORVEX:" and the file's name without its directory.
    CStringBase<char> MakeTitle() const;

    CStringBase<char> title;
    char pathText[kTextSize] = {};
    char emptyText[kTextSize] = {};
    char titleText[kTextSize] = {};
    CStringBase<char> path;
    FileInfo fileInfo;
    COwningVector<StreamEntry> streams;
};
