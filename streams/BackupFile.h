// A file opened for backup reading. The backup interface keeps a context of
// its own per file, which must be released by an aborting read before the
// handle goes, or the system keeps it for the life of the process.
#pragma once

#include "common/InputFile.h"
#include "platform/win32.h"

class BackupFile : public CInputFile {
public:
    BackupFile() = default;
    ~BackupFile() override;

    // Releases the backup context (when a read ever ran), then the handle.
    bool Close() override;

    // Opens an existing file or directory for reading its backup streams,
    // sharing it with readers only.
    bool Open(const char* path);

    // One BackupRead of up to `count` bytes of the stream sequence.
    bool Read(void* buffer, DWORD count, DWORD& bytesRead, bool processSecurity);

    // Skips within the current stream's data, never into the next header.
    bool Skip(DWORD low, DWORD high, DWORD& skippedLow, DWORD& skippedHigh);

private:
    bool started = false;
    LPVOID context = nullptr;
};
