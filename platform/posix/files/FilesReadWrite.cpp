// ReadFile and WriteFile on file handles. A disk file transfers the whole
// count unless the end of the file or an error stops it, as on Windows.
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/LayerErrors.h"
#include "platform/posix/files/FileObject.h"
#include "platform/posix/files/FileStatus.h"

#include <cerrno>
#include <unistd.h>

namespace mvx {
namespace {

// Linux moves at most this much in one call.
constexpr DWORD kLargestTransfer = 0x40000000;

// The handle's file when it may be used for this transfer; null with the last
// error set otherwise. Positioned (overlapped) transfers are not provided.
std::shared_ptr<FileObject> TransferTarget(HANDLE file, const void* buffer, DWORD count,
                                           const void* overlapped, bool writing) {
    if (overlapped || (!buffer && count > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::shared_ptr<FileObject> object = LookUpHandle<FileObject>(file);
    if (!object) return nullptr;
    if (object->IsDirectory()) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return nullptr;
    }
    if (!(writing ? object->CanWrite() : object->CanRead())) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // Reading a pipe or device could hold the caller until another process
    // acts, and what it reads is no file's data. One opened for writing had
    // a reader when it opened, and takes what is written, as a copy to it does.
    FileStatus status;
    if (!QueryDescriptorStatus(object->FileDescriptor(), status)) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    if (status.isSpecial && !writing) {
        SetLastError(kErrorSpecialFile);
        return nullptr;
    }
    return object;
}

// Repeats `step` (read or write) until `count` bytes moved or a step moved
// none (end of file); `done` holds what moved, also when an error stops it.
template <class Step>
BOOL Transfer(const FileObject& object, DWORD count, DWORD& done, Step step) {
    done = 0;
    while (done < count) {
        const DWORD chunk = count - done < kLargestTransfer ? count - done : kLargestTransfer;
        const ssize_t moved = step(object.FileDescriptor(), done, chunk);
        if (moved < 0 && errno == EINTR) continue;
        if (moved < 0) return Fail(ErrorFromErrno(errno));
        if (moved == 0) break;
        done += static_cast<DWORD>(moved);
    }
    return TRUE;
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD read,
                                void* overlapped) {
    if (mvx::FaultHit("ReadFile")) return FALSE;
    if (read) *read = 0;
    return mvx::GuardedCall(FALSE, [&]() -> BOOL {
        auto object = mvx::TransferTarget(file, buffer, count, overlapped, false);
        if (!object) return FALSE;
        DWORD done = 0;
        char* bytes = static_cast<char*>(buffer);
        BOOL result = mvx::Transfer(*object, count, done, [bytes](int fd, DWORD at, DWORD n) {
            return ::read(fd, bytes + at, n);
        });
        if (read) *read = done;
        return result;
    });
}

extern "C" BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD written,
                                 void* overlapped) {
    if (mvx::FaultHit("WriteFile")) return FALSE;
    if (written) *written = 0;
    return mvx::GuardedCall(FALSE, [&]() -> BOOL {
        auto object = mvx::TransferTarget(file, buffer, count, overlapped, true);
        if (!object) return FALSE;
        DWORD done = 0;
        const char* bytes = static_cast<const char*>(buffer);
        BOOL result = mvx::Transfer(*object, count, done, [bytes](int fd, DWORD at, DWORD n) {
            return ::write(fd, bytes + at, n);
        });
        if (written) *written = done;
        return result;
    });
}
