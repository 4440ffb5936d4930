// SetFileAttributesA. Of the attributes Windows keeps, a Linux file has one:
// read-only, which is the absence of write bits. The others are accepted and
// ignored. A name of a stream sets the attributes of its file. A symbolic
// link has attributes of its own, as on Windows, and Linux keeps none for it:
// the file it names, which a caller clearing read-only before it deletes the
// link has no business with, keeps its mode.
#include "platform/posix/core/Failure.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/files/SambaStreams.h"
#include "platform/posix/files/FileStatus.h"
#include "platform/posix/files/ResolvedName.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace mvx {
namespace {

constexpr mode_t kWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr mode_t kDefaultUmask = 022;

// Only /proc tells the umask without changing it for the whole process.
mode_t ProcessUmask() {
    FILE* status = std::fopen("/proc/self/status", "re");
    if (!status) return kDefaultUmask;
    char line[256];
    mode_t mask = kDefaultUmask;
    while (std::fgets(line, sizeof(line), status))
        if (std::strncmp(line, "Umask:", 6) == 0)
            mask = static_cast<mode_t>(std::strtoul(line + 6, nullptr, 8)) & 0777;
    std::fclose(status);
    return mask;
}

// Writing comes back for the owner, and for the group and others where they
// may read and the umask would let a new file give it them: a file made
// read-only and back is as it was, and never becomes writable by all.
mode_t WritableMode(mode_t mode) {
    mode_t bits = S_IWUSR;
    if (mode & S_IRGRP) bits |= S_IWGRP;
    if (mode & S_IROTH) bits |= S_IWOTH;
    return mode | S_IWUSR | (bits & ~ProcessUmask());
}

// Read-only is the owner's write bit missing, as FileStatus reports it; a
// file that is not read-only is left as it is.
mode_t ModeFor(mode_t mode, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_READONLY) return mode & ~kWriteBits;
    return (mode & S_IWUSR) ? mode : WritableMode(mode);
}

BOOL SetAttributes(LPCSTR name, DWORD attributes) {
    ResolvedName resolved;
    if (!ResolveName(name, resolved)) return FALSE;
    const std::string& path = resolved.path;
    FileStatus status;
    if (!resolved.hasStream && QueryLinkStatus(path, status) && status.isLink) return TRUE;
    if (!QueryPathStatus(path, status)) return FailErrno(errno, path);
    if (resolved.hasStream) {
        bool present = false;
        const DWORD error = QueryStreamPresence(path, resolved.stream, present);
        if (error != NO_ERROR) return Fail(error);
        if (!present) return Fail(ERROR_FILE_NOT_FOUND);
    }
    // Read-only does not stop files being added to a Windows directory; a
    // Linux directory without write bits would refuse them.
    if (status.isDirectory) return TRUE;
    const mode_t mode = ModeFor(status.mode, attributes);
    if (mode != status.mode && chmod(path.c_str(), mode) != 0) return FailErrno(errno, path);
    return TRUE;
}

}  // namespace
}  // namespace mvx

extern "C" BOOL WINAPI SetFileAttributesA(LPCSTR name, DWORD attributes) {
    if (mvx::FaultHit("SetFileAttributesA")) return FALSE;
    return mvx::GuardedCall<BOOL>(FALSE, [&] { return mvx::SetAttributes(name, attributes); });
}
