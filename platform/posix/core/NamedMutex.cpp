// CreateMutexA, WaitForSingleObject and ReleaseMutex for named mutexes, which
// processes of one user share: each name is a lock file (flock) in a folder
// of the user's own, $XDG_RUNTIME_DIR/morvex or else /tmp/morvex-UID. Unlike
// Windows, a mutex is owned by a handle rather than a thread: two handles of
// one name exclude each other even within a thread. A process that ends,
// however it ends, gives up what it held.
#include "platform/posix/core/Descriptor.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/HandleTable.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace mvx {
namespace {

class MutexObject final : public KernelObject {
public:
    static constexpr ObjectKind kKind = ObjectKind::Mutex;
    MutexObject(Descriptor lock, bool owned)
        : KernelObject(kKind), lock_(std::move(lock)), owned_(owned) {}

    int Lock() const { return lock_.Get(); }
    bool Owned() const { return owned_; }
    void SetOwned(bool owned) { owned_ = owned; }

private:
    Descriptor lock_;
    bool owned_;
};

// The folder of the user's mutexes: made private, and refused when it is not
// (a folder another user made first, or a link), so no one else can hold or
// swap a lock of ours.
DWORD MutexFolder(std::string& folder) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    folder = runtime && runtime[0] == '/' ? std::string(runtime) + "/morvex"
                                          : "/tmp/morvex-" + std::to_string(geteuid());
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return ErrorFromErrnoAt(errno, folder);
    struct stat status;
    if (lstat(folder.c_str(), &status) != 0) return ErrorFromErrnoAt(errno, folder);
    const bool isPrivate = S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
                           (status.st_mode & 077) == 0;
    return isPrivate ? NO_ERROR : ERROR_ACCESS_DENIED;
}

// A name's separators would lead out of the folder.
std::string LockFileName(const std::string& name) {
    std::string file;
    for (char c : name) file += (c == '/' || c == '\\') ? '_' : c;
    return file + ".mutex";
}

bool Acquire(int lock, DWORD milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (flock(lock, milliseconds == INFINITE ? LOCK_EX : LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

HANDLE CreateNamed(const char* name, bool initialOwner) {
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    std::string folder;
    const DWORD error = MutexFolder(folder);
    if (error != NO_ERROR) {
        SetLastError(error);
        return nullptr;
    }
    const std::string path = folder + "/" + LockFileName(name);
    Descriptor lock(open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!lock.IsOpen()) {
        SetLastErrorFromErrno(errno, path);
        return nullptr;
    }
    if (initialOwner && !Acquire(lock.Get(), INFINITE)) {
        SetLastErrorFromErrno(errno, path);
        return nullptr;
    }
    HANDLE handle = AddHandle(std::make_shared<MutexObject>(std::move(lock), initialOwner));
    SetLastError(NO_ERROR);
    return handle;
}

}  // namespace
}  // namespace mvx

extern "C" HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name) {
    if (mvx::FaultHit("CreateMutexA")) return nullptr;
    return mvx::GuardedCall<HANDLE>(nullptr,
                                    [&] { return mvx::CreateNamed(name, initialOwner != FALSE); });
}

extern "C" DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    if (mvx::FaultHit("WaitForSingleObject")) return WAIT_FAILED;
    return mvx::GuardedCall<DWORD>(WAIT_FAILED, [&]() -> DWORD {
        auto mutex = mvx::LookUpHandle<mvx::MutexObject>(object);
        if (!mutex) return WAIT_FAILED;
        if (mvx::Acquire(mutex->Lock(), milliseconds)) {
            mutex->SetOwned(true);
            return WAIT_OBJECT_0;
        }
        if (errno == EWOULDBLOCK) return WAIT_TIMEOUT;
        SetLastError(mvx::ErrorFromErrno(errno));
        return WAIT_FAILED;
    });
}

extern "C" BOOL WINAPI ReleaseMutex(HANDLE handle) {
    if (mvx::FaultHit("ReleaseMutex")) return FALSE;
    return mvx::GuardedCall<BOOL>(FALSE, [&]() -> BOOL {
        auto mutex = mvx::LookUpHandle<mvx::MutexObject>(handle);
        if (!mutex) return FALSE;
        if (!mutex->Owned()) return mvx::Fail(ERROR_NOT_OWNER);
        if (flock(mutex->Lock(), LOCK_UN) != 0) return mvx::Fail(mvx::ErrorFromErrno(errno));
        mutex->SetOwned(false);
        return TRUE;
    });
}
