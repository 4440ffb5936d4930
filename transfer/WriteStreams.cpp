#include "transfer/WriteStreams.h"

#include "hostapi/MessageNumbers.h"
#include "hostapi/ScreenKeeper.h"
#include "hostapi/ShowError.h"
#include "streams/ItemName.h"
#include "transfer/FieldText.h"
#include "transfer/ListRefresher.h"
#include "transfer/ProgressNotice.h"
#include "transfer/SameFileName.h"
#include "transfer/StreamSystemName.h"

namespace {

// False after a failed copy, which the user has been shown.
bool WriteItem(const StreamPanel& panel, const PanelItem& item) {
    if (item.fileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        throw "directory items can not be copied";
    const CStringBase<char> sourceName = FieldText(item.fileName);
    CStringBase<char> streamName;
    if (ParseItemName(sourceName, streamName) != BACKUP_ALTERNATE_DATA)
        throw "Only writing ALTERNATE DATA streams is supported";
    if (CopyFileA(sourceName.Ptr(), StreamSystemName(panel.Path(), streamName).Ptr(), FALSE))
        return true;
    ShowError("Copy error");
    return false;
}

// Read-only files are deleted as well; one that stays gets back the
// attributes its panel showed, so a failed move leaves no file writable that
// was not.
void DeleteSource(const PanelItem& item) {
    const CStringBase<char> sourceName = FieldText(item.fileName);
    if (!SetFileAttributesA(sourceName.Ptr(), 0))
        throw "can not delete file";
    if (!DeleteFileA(sourceName.Ptr())) {
        SetFileAttributesA(sourceName.Ptr(), item.fileAttributes);
        throw "can not delete file";
    }
}

// A move deletes its sources; one of them being the opened file, the move
// would delete the file with every stream it was just given.
void RefuseMovingTheFileIntoItself(const StreamPanel& panel, const PanelItem* items,
                                   int itemCount) {
    for (int i = 0; i < itemCount; ++i) {
        if (MayNameFile(FieldText(items[i].fileName), panel.Path()))
            throw "The opened file cannot be moved into itself";
    }
}

}  // namespace

int WriteStreams(StreamPanel& panel, const PanelItem* items, int itemCount, int move,
                 unsigned opMode) {
    if (items == nullptr || itemCount <= 0)
        return 0;
    if (move)
        RefuseMovingTheFileIntoItself(panel, items, itemCount);
    ScreenKeeper screen;
    ShowProgressNotice(screen, opMode, kMsgWriting);
    // Declared after the keeper, so the list is read before the screen returns.
    ListRefresher refresher(panel);
    for (int i = 0; i < itemCount; ++i) {
        if (!WriteItem(panel, items[i]))
            return 0;
    }
    if (move) {
        for (int i = 0; i < itemCount; ++i)
            DeleteSource(items[i]);
    }
    return 1;
}
