#include "platform/posix/files/CopySource.h"

#include "platform/posix/core/Failure.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/LayerErrors.h"
#include "platform/posix/files/DescriptorWrite.h"
#include "platform/posix/files/ExtendedAttributes.h"
#include "platform/posix/files/FileStatus.h"
#include "platform/posix/files/PlainFormMemo.h"
#include "platform/posix/files/SambaStreams.h"
#include "platform/posix/files/StreamPaths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/sendfile.h>
#include <unistd.h>
#include <vector>

namespace mvx {
namespace {

// Large enough to keep the disk busy, small enough that a file of any size
// is copied in little memory.
constexpr std::size_t kChunkSize = 512 * 1024;

// Reads up to `size` bytes, fewer only at the end of the file.
DWORD ReadChunk(int fd, char* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
        const ssize_t count = read(fd, buffer + got, size - got);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return ErrorFromErrno(errno);
        if (count == 0) break;
        got += static_cast<std::size_t>(count);
    }
    return NO_ERROR;
}

// Each chunk written is a point where tests make the copy fail half done.
DWORD WriteChunk(int fd, const char* data, std::size_t size) {
    if (FaultHit("CopyFileA.WriteChunk")) return GetLastError();
    return WriteWhole(fd, data, size);
}

// Moves up to `size` bytes inside the kernel, fewer only at the end of the
// file: no copy of the data passes through the process. False, with nothing
// moved, where the system cannot send between these two files.
bool SendChunk(int from, int to, std::size_t size, std::size_t& sent, DWORD& error) {
    sent = 0;
    error = NO_ERROR;
    while (error == NO_ERROR && sent < size) {
        const ssize_t count = sendfile(to, from, nullptr, size - sent);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0 && sent == 0 && (errno == EINVAL || errno == ENOSYS)) return false;
        if (count < 0) error = ErrorFromErrno(errno);
        if (count <= 0) break;
        sent += static_cast<std::size_t>(count);
    }
    return true;
}

}  // namespace

bool CopySource::Open(const ResolvedName& name) {
    if (!name.hasStream) return OpenFileData(name.path);
    if (!HasPathStreams(name.path)) return ReadStream(name);
    std::string streamPath;
    const DWORD error = StreamPathOf(name.path, name.stream, streamPath);
    if (error != NO_ERROR) return Fail(error);
    if (!OpenFileData(streamPath)) return false;
    identity_.stream = name.stream;
    return true;
}

// Non-blocking, so that a FIFO in the tree cannot hang the copy in open().
bool CopySource::OpenFileData(const std::string& path) {
    FileStatus status;
    if (!QueryPathStatus(path, status)) return FailErrno(errno, path);
    if (status.isDirectory) return Fail(ERROR_ACCESS_DENIED);
    data_ = Descriptor(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!data_.IsOpen()) return FailErrno(errno, path);
    if (!QueryDescriptorStatus(data_.Get(), status)) return FailErrno(errno, path);
    if (status.isDirectory) return Fail(ERROR_ACCESS_DENIED);
    if (status.isSpecial) return Fail(kErrorSpecialFile);
    identity_ = status.identity;
    mode_ = status.mode;
    size_ = status.size;
    written_ = status.lastWriteTime;
    return true;
}

bool CopySource::ReadStream(const ResolvedName& name) {
    FileStatus status;
    if (!QueryPathStatus(name.path, status)) return FailErrno(errno, name.path);
    const AttributeFile file = AttributeFile::OfPath(name.path);
    StreamAttribute where;
    bool present = false;
    DWORD error = LocateRememberedStream(file, status, name.stream, where);
    if (error == NO_ERROR) error = ReadAttribute(file, where.attribute, present, value_);
    if (error != NO_ERROR) return Fail(error);
    if (!present) return Fail(ERROR_FILE_NOT_FOUND);
    value_.resize(StreamSizeOf(where, value_.size()));
    identity_ = status.identity;
    identity_.stream = name.stream;
    mode_ = status.mode;
    return true;
}

DWORD CopySource::Size(ULONGLONG& size) const {
    FileStatus status;
    if (data_.IsOpen() && !QueryDescriptorStatus(data_.Get(), status)) return ErrorFromErrno(errno);
    size = data_.IsOpen() ? status.size : value_.size();
    return NO_ERROR;
}

DWORD CopySource::ReadWhole(std::size_t limit, std::string& value) const {
    if (!data_.IsOpen()) {
        if (value_.size() > limit) return ERROR_FILE_TOO_LARGE;
        value = value_;
        return NO_ERROR;
    }
    FileStatus status;
    if (!QueryDescriptorStatus(data_.Get(), status)) return ErrorFromErrno(errno);
    if (status.size > limit) return ERROR_FILE_TOO_LARGE;
    // One byte more than allowed tells a file that grew meanwhile.
    std::string buffer(limit + 1, '\0');
    std::size_t got = 0;
    const DWORD error = ReadChunk(data_.Get(), &buffer[0], buffer.size(), got);
    if (error != NO_ERROR) return error;
    if (got > limit) return ERROR_FILE_TOO_LARGE;
    buffer.resize(got);
    value.swap(buffer);
    return NO_ERROR;
}

DWORD CopySource::WriteTo(int fd) const {
    if (!data_.IsOpen()) return WriteChunk(fd, value_.data(), value_.size());
    std::vector<char> buffer;
    for (ULONGLONG left = size_; left > 0;) {
        const std::size_t want = left < kChunkSize ? static_cast<std::size_t>(left) : kChunkSize;
        // Each chunk is a point where tests make the copy fail half done.
        if (FaultHit("CopyFileA.WriteChunk")) return GetLastError();
        std::size_t got = 0;
        DWORD error = NO_ERROR;
        if (buffer.empty() && !SendChunk(data_.Get(), fd, want, got, error))
            buffer.resize(kChunkSize);
        if (!buffer.empty()) {
            error = ReadChunk(data_.Get(), buffer.data(), want, got);
            if (error == NO_ERROR && got == want) error = WriteWhole(fd, buffer.data(), got);
        }
        if (error == NO_ERROR && got < want) error = kErrorSourceChanged;
        if (error != NO_ERROR) return error;
        left -= got;
    }
    return Unchanged() ? NO_ERROR : kErrorSourceChanged;
}

// Nothing past the size it had, and the same size and last write as when
// it was opened. A stream that is a path shows its file's last write, which a
// write to another stream of the file moves: only its size tells.
bool CopySource::Unchanged() const {
    char past = 0;
    std::size_t got = 0;
    FileStatus status;
    if (ReadChunk(data_.Get(), &past, 1, got) != NO_ERROR || got != 0 ||
        !QueryDescriptorStatus(data_.Get(), status) || status.size != size_)
        return false;
    return !identity_.stream.empty() ||
           (status.lastWriteTime.dwLowDateTime == written_.dwLowDateTime &&
            status.lastWriteTime.dwHighDateTime == written_.dwHighDateTime);
}

}  // namespace mvx

