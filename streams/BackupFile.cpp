#include "streams/BackupFile.h"

BackupFile::~BackupFile() {
    // The base destructor can only close the handle; the context is ours.
    Close();
}

bool BackupFile::Close() {
    if (started) {
        BackupRead(Handle(), nullptr, 0, nullptr, TRUE, FALSE, &context);
        // The aborted context is gone: a second close or a new walk on this
        // object must not hand it to the system again.
        started = false;
        context = nullptr;
    }
    return CInputFile::Close();
}

bool BackupFile::Open(const char* path) {
    return OpenForReading(path, FILE_SHARE_READ, OPEN_EXISTING,
                          FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL);
}

bool BackupFile::Read(void* buffer, DWORD count, DWORD& bytesRead, bool processSecurity) {
    started = true;
    return BackupRead(Handle(), static_cast<LPBYTE>(buffer), count, &bytesRead, FALSE,
                      processSecurity ? TRUE : FALSE, &context) != FALSE;
}

bool BackupFile::Skip(DWORD low, DWORD high, DWORD& skippedLow, DWORD& skippedHigh) {
    return BackupSeek(Handle(), low, high, &skippedLow, &skippedHigh, &context) != FALSE;
}
