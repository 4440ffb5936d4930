#include "transfer/ExtractStreams.h"

#include "hostapi/MessageNumbers.h"
#include "hostapi/OperationMode.h"
#include "hostapi/ScreenKeeper.h"
#include "hostapi/ShowError.h"
#include "security/SecurityReport.h"
#include "transfer/CopyFileData.h"
#include "transfer/DeleteStreams.h"
#include "transfer/DirectoryTree.h"
#include "transfer/ExtractDialog.h"
#include "transfer/ProgressNotice.h"
#include "transfer/SameFileName.h"
#include "transfer/StreamSystemName.h"

namespace {

// False after a failed copy, which the user has been shown.
bool CopyNamedStream(const StreamPanel& panel, const StreamEntry& entry,
                     const CStringBase<char>& outputPath) {
    // A kind without a name has no "path:name" the system could copy from:
    // the bare "path:" would at best be the file's own data under the kind's name.
    if (!entry.streamName.IsEmpty() &&
        CopyFileA(StreamSystemName(panel.Path(), entry).Ptr(), outputPath.Ptr(), FALSE))
        return true;
    ShowError("Copy error");
    return false;
}

// The item's stream written to its output; false after a failure, which the
// user has been shown.
bool CopyItem(const StreamPanel& panel, const StreamEntry& entry,
              const CStringBase<char>& outputPath, bool securityAsText) {
    switch (entry.kindId) {
    case BACKUP_DATA:
        return CopyFileData(panel.Path(), outputPath) != 0;
    case BACKUP_SECURITY_DATA:
        return WriteSecurityReport(entry, panel.Path(),
                                   (panel.Info().attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                   outputPath, securityAsText);
    default:
        return CopyNamedStream(panel, entry, outputPath);
    }
}

// `written` holds the files the items before wrote: a destination that takes
// two item names for one file (a folder that ignores letter case) would have
// the later item replace the earlier, and a move delete both streams.
bool ExtractItem(const StreamPanel& panel, const PanelItem& item,
                 const CStringBase<char>& destination, bool securityAsText,
                 CVector<FileKey>& written) {
    const StreamEntry& entry = panel.EntryOf(item);
    const CStringBase<char> outputPath = Concat(destination, entry.itemName);
    if (MayNameFile(outputPath, panel.Path())) {
        ShowError("Copy error");
        return false;
    }
    if (NamesWrittenFile(outputPath, written)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        ShowError("Copy error");
        return false;
    }
    if (!CopyItem(panel, entry, outputPath, securityAsText))
        return false;
    FileKey key;
    if (KeyOfFile(outputPath.Ptr(), key))
        written.Add(key);
    return true;
}

}  // namespace

int ExtractStreams(StreamPanel& panel, const PanelItem* items, int itemCount, int move,
                   const char* destinationPath, unsigned opMode, bool securityAsText) {
    CStringBase<char> destination(destinationPath != nullptr ? destinationPath : "");
    AppendBackslash(destination);
    if (!(opMode & OpModeQuiet) && !RunExtractDialog(destination))
        return -1;
    CreateDirectoryTree(destination);
    ScreenKeeper screen;
    ShowProgressNotice(screen, opMode, kMsgExtracting);
    const int count = items != nullptr ? itemCount : 0;
    CVector<FileKey> written;
    for (int i = 0; i < count; ++i) {
        if (!ExtractItem(panel, items[i], destination, securityAsText, written))
            return 0;
    }
    if (move && DeleteStreams(panel, items, itemCount, opMode) == 0)
        return 0;
    return 1;
}
