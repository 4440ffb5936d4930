// BackupRead and BackupSeek: a file's WIN32_STREAM_ID sequence, read through
// a context that lives in the caller's slot from the first read to the
// aborting one.
#include "platform/posix/core/Failure.h"
#include "platform/posix/backup/BackupContext.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/FaultInjection.h"

namespace mvx {
namespace {

BackupContext* ContextIn(LPVOID* slot) { return static_cast<BackupContext*>(*slot); }

void EndBackup(LPVOID* slot) {
    if (!slot) return;
    delete ContextIn(slot);
    *slot = nullptr;
}

// The reading in `slot`, started at the first read of `file`. A context
// belongs to the handle it was started on.
DWORD ContextFor(HANDLE file, BOOL processSecurity, LPVOID* slot, BackupContext*& context) {
    std::shared_ptr<FileObject> object = LookUpHandle<FileObject>(file);
    if (!object) return ERROR_INVALID_HANDLE;
    if (*slot) {
        context = ContextIn(slot);
        return context->File() == object.get() ? NO_ERROR : ERROR_INVALID_PARAMETER;
    }
    if (!object->CanRead()) return ERROR_ACCESS_DENIED;
    std::unique_ptr<BackupContext> started;
    const DWORD error = StartBackup(std::move(object), processSecurity != FALSE, started);
    if (error != NO_ERROR) return error;
    context = started.release();
    *slot = context;
    return NO_ERROR;
}

BOOL Read(HANDLE file, BYTE* buffer, DWORD count, DWORD& read, BOOL processSecurity, LPVOID* slot) {
    BackupContext* context = nullptr;
    DWORD error = ContextFor(file, processSecurity, slot, context);
    if (error == NO_ERROR) error = context->Read(buffer, count, read);
    return error == NO_ERROR ? TRUE : Fail(error);
}

// Before the first read no stream is current, so there is nothing to skip.
BOOL Seek(HANDLE file, ULONGLONG request, ULONGLONG& skipped, LPVOID* slot) {
    std::shared_ptr<FileObject> object = LookUpHandle<FileObject>(file);
    if (!object) return FALSE;
    DWORD error = request == 0 ? NO_ERROR : ERROR_SEEK;
    if (BackupContext* context = ContextIn(slot)) {
        if (context->File() != object.get()) return Fail(ERROR_INVALID_PARAMETER);
        error = context->Seek(request, skipped);
    }
    return error == NO_ERROR ? TRUE : Fail(error);
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI BackupRead(HANDLE file, LPBYTE buffer, DWORD count, LPDWORD read, BOOL abort,
                                  BOOL processSecurity, LPVOID* context) {
    // An abort frees the context even when it reports failure: callers do
    // not repeat it, and the slot is cleared so that a repetition is harmless.
    if (mvx::FaultHit("BackupRead")) {
        if (abort) mvx::EndBackup(context);
        return FALSE;
    }
    if (read) *read = 0;
    if (!context) return mvx::Fail(ERROR_INVALID_PARAMETER);
    if (abort) {
        mvx::EndBackup(context);
        return TRUE;
    }
    if (!read || (!buffer && count > 0)) return mvx::Fail(ERROR_INVALID_PARAMETER);
    return mvx::GuardedCall(
        FALSE, [&] { return mvx::Read(file, buffer, count, *read, processSecurity, context); });
}

extern "C" BOOL WINAPI BackupSeek(HANDLE file, DWORD lowBytesToSeek, DWORD highBytesToSeek,
                                  LPDWORD lowBytesSeeked, LPDWORD highBytesSeeked,
                                  LPVOID* context) {
    if (mvx::FaultHit("BackupSeek")) return FALSE;
    if (lowBytesSeeked) *lowBytesSeeked = 0;
    if (highBytesSeeked) *highBytesSeeked = 0;
    if (!context || !lowBytesSeeked || !highBytesSeeked) return mvx::Fail(ERROR_INVALID_PARAMETER);
    return mvx::GuardedCall(FALSE, [&] {
        const ULONGLONG request = (static_cast<ULONGLONG>(highBytesToSeek) << 32) | lowBytesToSeek;
        ULONGLONG skipped = 0;
        const BOOL result = mvx::Seek(file, request, skipped, context);
        *lowBytesSeeked = static_cast<DWORD>(skipped);
        *highBytesSeeked = static_cast<DWORD>(skipped >> 32);
        return result;
    });
}
