#include "platform/posix/files/PathStreamWrite.h"

#include "platform/posix/core/Descriptor.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/SignalCleanup.h"
#include "platform/posix/files/DescriptorWrite.h"
#include "platform/posix/files/StreamPaths.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

namespace mvx {
namespace {

// ntfs-3g takes stream names of up to 250 bytes.
constexpr std::size_t kLongestStreamName = 250;
constexpr char kBackupSuffix[] = ".~morvex-old";

ULONGLONG SizeAt(const std::string& path) {
    struct stat64 status;
    return stat64(path.c_str(), &status) == 0 ? status.st_size : 0;
}

// The new bytes need room while the old ones are kept aside.
DWORD CheckRoom(const CopySource& source, const std::string& streamPath, ULONGLONG kept) {
    ULONGLONG needed = 0;
    const DWORD error = source.Size(needed);
    if (error != NO_ERROR) return error;
    struct statvfs volume;
    const std::string directory = streamPath.substr(0, streamPath.find_last_of('/') + 1);
    if (statvfs(directory.c_str(), &volume) != 0) return ErrorFromErrno(errno);
    const ULONGLONG room = static_cast<ULONGLONG>(volume.f_bavail) * volume.f_frsize;
    return needed + kept > room ? ERROR_DISK_FULL : NO_ERROR;
}

DWORD WriteAll(const CopySource& source, Descriptor& stream) {
    const DWORD error = source.WriteTo(stream.Get());
    if (error != NO_ERROR) return error;
    return stream.Close() == 0 ? NO_ERROR : ErrorFromErrno(errno);
}

// The bytes of `in` appended to `out`, closed, and their size read back:
// ntfs-3g says yes to some writes it does not make.
DWORD CopyBytes(Descriptor& in, Descriptor& out, const std::string& from, const std::string& to) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = read(in.Get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return ErrorFromErrno(errno);
        if (got == 0) break;
        const DWORD error = WriteWhole(out.Get(), buffer.data(), static_cast<std::size_t>(got));
        if (error != NO_ERROR) return error;
    }
    if (out.Close() != 0) return ErrorFromErrno(errno);
    return SizeAt(to) == SizeAt(from) ? NO_ERROR : ERROR_WRITE_FAULT;
}

// Copies the stream at `from` to the one at `to`, made anew (`making` is
// O_EXCL: one that is there fails with ERROR_FILE_EXISTS, and one made and
// cut short goes again) or written over (O_TRUNC). (A stream's write time is
// its file's on ntfs-3g, so the copy cannot watch it as CopySource does.)
DWORD CopyStreamPath(const std::string& from, const std::string& to, int making) {
    Descriptor in(open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!in.IsOpen()) return ErrorFromErrnoAt(errno, from);
    Descriptor out(open(to.c_str(), O_WRONLY | O_CREAT | making | O_CLOEXEC | O_NOCTTY, 0666));
    if (!out.IsOpen()) return errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrnoAt(errno, to);
    const DWORD error = CopyBytes(in, out, from, to);
    if (error != NO_ERROR && making == O_EXCL) {
        out.Close();  // ntfs-3g cannot unlink a stream still open
        unlink(to.c_str());
    }
    return error;
}

// A new stream: made whole, or taken away again with the file it needed.
DWORD WriteNewStream(const CopySource& source, const ResolvedName& target,
                     const std::string& streamPath, bool fileExists) {
    Descriptor stream(
        open(streamPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
    if (!stream.IsOpen())
        return errno == EEXIST ? ERROR_FILE_EXISTS : ErrorFromErrnoAt(errno, target.path);
    const DWORD error = WriteAll(source, stream);
    if (error == NO_ERROR) return NO_ERROR;
    // ntfs-3g cannot unlink a stream that is still open: FUSE would hide it
    // under another name, which a stream cannot take.
    stream.Close();
    unlink(streamPath.c_str());
    if (!fileExists) unlink(target.path.c_str());
    return error;
}

// The names the stream that keeps the old bytes may take, the most telling
// first: named after the stream, so that one a kill leaves behind says whose
// it is.
std::vector<std::string> BackupNamesOf(const std::string& stream) {
    const std::string process = std::to_string(getpid());
    std::vector<std::string> names;
    for (const std::string& name : {stream + kBackupSuffix, stream + kBackupSuffix + "-" + process})
        if (name.size() <= kLongestStreamName) names.push_back(name);
    names.push_back("~morvex-old-" + process);
    return names;
}

// Copies the stream's old bytes into a stream made for them, never over one
// that is there already: that may be the user's own, or the backup a kill
// left, the one whole copy of some old bytes.
DWORD BackUp(const ResolvedName& target, const std::string& streamPath, std::string& backupPath) {
    DWORD error = ERROR_FILE_EXISTS;
    for (const std::string& name : BackupNamesOf(target.stream)) {
        error = StreamPathOf(target.path, name, backupPath);
        if (error == NO_ERROR) error = CopyStreamPath(streamPath, backupPath, O_EXCL);
        if (error != ERROR_FILE_EXISTS) return error;
    }
    return error;
}

// An existing stream is rewritten in place, since ntfs-3g renames no stream
// over another (rename returns 0 and does nothing). Its old bytes are first
// copied aside and read back; a write that fails puts them back, and only a
// kill in the middle can leave the stream cut short, the backup beside it.
DWORD RewriteStream(const CopySource& source, const ResolvedName& target,
                    const std::string& streamPath) {
    DWORD error = CheckRoom(source, streamPath, SizeAt(streamPath));
    if (error != NO_ERROR) return error;
    // Ctrl-C and the like wait until the stream is whole again, old or new,
    // and the backup gone: ntfs-3g cannot unlink a stream still open, so a
    // signal handler could not take a half-made backup away.
    SignalsHeld held;
    std::string backupPath;
    error = BackUp(target, streamPath, backupPath);
    if (error != NO_ERROR) return error;
    Descriptor stream(
        open(streamPath.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY));
    error = stream.IsOpen() ? WriteAll(source, stream) : ErrorFromErrnoAt(errno, target.path);
    stream.Close();
    // Without its old bytes back, the backup is all there is of them: it stays.
    if (error == NO_ERROR || CopyStreamPath(backupPath, streamPath, O_TRUNC) == NO_ERROR)
        unlink(backupPath.c_str());
    return error;
}

}  // namespace

DWORD WritePathStream(const CopySource& source, const ResolvedName& target, bool fileExists,
                      bool failIfExists) {
    std::string streamPath;
    DWORD error = StreamPathOf(target.path, target.stream, streamPath);
    if (error != NO_ERROR) return error;
    struct stat64 status;
    const bool streamExists = fileExists && stat64(streamPath.c_str(), &status) == 0;
    if (streamExists && failIfExists) return ERROR_FILE_EXISTS;
    if (streamExists) return RewriteStream(source, target, streamPath);
    error = CheckRoom(source, streamPath, 0);
    return error == NO_ERROR ? WriteNewStream(source, target, streamPath, fileExists) : error;
}

}  // namespace mvx
