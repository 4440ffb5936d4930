// One backup reading of a file, kept behind the caller's context slot from
// the first BackupRead to the aborting one. It holds the file object, so the
// descriptor it reads from stays open as long as the reading lasts.
#pragma once

#include "platform/posix/files/FileObject.h"

#include <memory>

namespace mvx {

class BackupContext {
public:
    explicit BackupContext(std::shared_ptr<FileObject> file) : file_(std::move(file)) {}
    virtual ~BackupContext() = default;
    BackupContext(const BackupContext&) = delete;
    BackupContext& operator=(const BackupContext&) = delete;

    // Copies up to `count` bytes of the current stream (header, name, data),
    // going on to the next stream only once this one is all delivered; 0
    // bytes at the end of all streams. NO_ERROR or the Windows error.
    virtual DWORD Read(BYTE* buffer, DWORD count, DWORD& done) = 0;

    // Skips up to `request` bytes of the current stream's data, never into
    // the next header; ERROR_SEEK when the stream has less left (`skipped`
    // then says how much there was).
    virtual DWORD Seek(ULONGLONG request, ULONGLONG& skipped) = 0;

    const FileObject* File() const { return file_.get(); }

protected:
    int FileDescriptor() const { return file_->FileDescriptor(); }

private:
    std::shared_ptr<FileObject> file_;
};

// Starts reading `file`: the bytes a test substituted for it, else its streams.
DWORD StartBackup(std::shared_ptr<FileObject> file, bool withSecurity,
                  std::unique_ptr<BackupContext>& context);

}  // namespace mvx
