#include "streams/StreamPanel.h"

#include <cstring>

#include "common/ArrayStorage.h"
#include "common/ErrorNumbers.h"
#include "common/FullPath.h"
#include "hostapi/PluginName.h"
#include "streams/BackupFile.h"
#include "streams/BackupStreamReader.h"
#include "streams/ItemName.h"
#include "streams/StreamKind.h"
#include "streams/StreamName.h"

namespace {

// Flag bits the host reads from the panel description.
const DWORD kPanelFlags = 0x40F;

// The length of the longest start of `text` that fits `room` bytes without
// splitting a character of the ANSI code page.
int FittingLength(const CStringBase<char>& text, int room) {
    if (text.Length() <= room)
        return text.Length();
    int fitting = 0;
    for (int next = 0; next <= room; next = NextCharIndex(text.Ptr(), next, text.Length()))
        fitting = next;
    return fitting;
}

// Copies as much of `text` as `size` bytes hold with the terminator.
void CopyText(char* target, int size, const CStringBase<char>& text) {
    int length = FittingLength(text, size - 1);
    std::memcpy(target, text.Ptr(), length);
    target[length] = 0;
}

char* NewTextCopy(const char* text) {
    size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(AllocateArray(size, 1));
    std::memcpy(copy, text, size);
    return copy;
}

// The item of one stream, without its description, which is allocated apart.
PanelItem MakeItem(const StreamEntry& entry, const FileInfo& info, int index) {
    PanelItem item;
    std::memset(&item, 0, sizeof(item));
    item.creationTime = info.creationTime;
    item.lastAccessTime = info.lastAccessTime;
    item.lastWriteTime = info.lastWriteTime;
    item.sizeHigh = static_cast<DWORD>(entry.size >> 32);
    item.sizeLow = static_cast<DWORD>(entry.size);
    item.hostSizeHigh = item.sizeHigh;
    item.hostSizeLow = item.sizeLow;
    CopyText(item.fileName, sizeof(item.fileName), entry.itemName);
    item.itemIndex = static_cast<DWORD>(index);
    return item;
}

void FreeDescriptions(PanelItem* items, int count) {
    for (int i = 0; i < count; ++i)
        FreeArray(items[i].description);
}

}  // namespace

bool StreamPanel::Open(const CStringBase<char>& openedPath, const FileInfo& info) {
    path = openedPath;
    fileInfo = info;
    return ReadStreamList();
}

bool StreamPanel::ReadStreamList() {
    BackupFile file;
    if (!file.Open(path.Ptr()))
        return false;
    streams.Clear();
    BackupStreamReader reader(file);
    for (;;) {
        StreamEntry entry;
        bool found = false;
        if (!reader.Next(found, entry))
            throw kErrorBackupWalkOutOfStep;
        if (!found)
            return true;
        entry.streamName = MakeStreamName(entry.rawName);
        entry.kindIndex = MakeItemName(entry.kindId, entry.streamName, entry.itemName);
        streams.AddCopy(entry);
    }
}

// The items are made in the block the host receives: gathered first and
// copied, a thousand streams would fault in and copy 366 KB twice.
int StreamPanel::GetFindData(PanelItem** items, int* itemCount, int) const {
    PanelItem* block = static_cast<PanelItem*>(AllocateArray(streams.Size(), sizeof(PanelItem)));
    int i = 0;
    try {
        for (; i < streams.Size(); ++i) {
            const StreamEntry& entry = *streams[i];
            block[i] = MakeItem(entry, fileInfo, i);
            if (entry.kindIndex >= 0)
                block[i].description = NewTextCopy(StreamKindDescription(entry.kindIndex));
        }
    } catch (...) {
        FreeDescriptions(block, i);
        FreeArray(block);
        throw;
    }
    *items = block;
    *itemCount = streams.Size();
    return 1;
}

void StreamPanel::FreeFindData(PanelItem* items, int itemCount) {
    if (items != nullptr)
        FreeDescriptions(items, itemCount);
    FreeArray(items);
}

void StreamPanel::GetOpenPluginInfo(OpenPluginInfo* info) {
    info->structSize = sizeof(OpenPluginInfo);
    info->flags = kPanelFlags;
    CopyText(pathText, kTextSize, path);
    info->filePath = pathText;
    emptyText[0] = 0;
    info->innerPath = emptyText;
    info->pluginName = kPluginName;
    title = MakeTitle();
    CopyText(titleText, kTextSize, title);
    info->panelTitle = titleText;
    std::memset(info->hostWords, 0, sizeof(info->hostWords));
    info->hostWord60 = 0;
    info->hostWord64 = 0;
}

const StreamEntry& StreamPanel::EntryOf(const PanelItem& item) const {
    if (item.itemIndex >= static_cast<DWORD>(streams.Size()))
        throw "The item is no longer in the stream list";
    return *streams[static_cast<int>(item.itemIndex)];
}

CStringBase<char> StreamPanel::MakeTitle() const {
    CStringBase<char> fullPath;
    int namePart = 0;
    if (!GetFullPath(path.Ptr(), fullPath, namePart)) {
        // Too long to be made absolute: the name is still the text after the
        // last backslash.
        fullPath = path;
        namePart = path.FindLastChar('\\') + 1;
    }
    CStringBase<char> panelTitle(kPluginName);
    panelTitle.Append(':');
    panelTitle.Append(fullPath.SubstringFrom(namePart));
    return panelTitle;
}
