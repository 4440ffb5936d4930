#include "platform/posix/backup/BackupContext.h"

#include "platform/posix/backup/BackupControl.h"
#include "platform/posix/backup/FlatBackup.h"
#include "platform/posix/backup/StreamSequence.h"

namespace mvx {

DWORD StartBackup(std::shared_ptr<FileObject> file, bool withSecurity,
                  std::unique_ptr<BackupContext>& context) {
    if (std::shared_ptr<const BackupFeed> feed = FindBackupFeed(file->Name().path)) {
        context = std::make_unique<FlatBackup>(std::move(file), std::move(feed));
        return NO_ERROR;
    }
    std::vector<BackupStream> streams;
    const DWORD error = ListBackupStreams(file->FileDescriptor(), withSecurity, streams);
    if (error != NO_ERROR) return error;
    context = std::make_unique<StreamSequence>(std::move(file), std::move(streams));
    return NO_ERROR;
}

}  // namespace mvx
