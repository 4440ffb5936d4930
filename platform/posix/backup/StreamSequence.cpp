#include "platform/posix/backup/StreamSequence.h"

#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/files/ExtendedAttributes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace mvx {
namespace {

// A file that grew since its header was made gives only the size announced;
// one that shrank gives what is left, then fails as a changed attribute
// value does.
DWORD ReadDataAt(int fd, ULONGLONG offset, BYTE* buffer, DWORD count, DWORD& got) {
    while (got < count) {
        const ssize_t n = pread64(fd, buffer + got, count - got, static_cast<off64_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return ErrorFromErrno(errno);
        if (n == 0) return kAttributeChangedError;
        got += static_cast<DWORD>(n);
    }
    return NO_ERROR;
}

}  // namespace

StreamSequence::StreamSequence(std::shared_ptr<FileObject> file, std::vector<BackupStream> streams)
    : BackupContext(std::move(file)), streams_(std::move(streams)) {
    Enter(0);
}

// A stream that cannot be delivered is never done: reading stays at its place.
bool StreamSequence::Delivered() const {
    return Current().failure == NO_ERROR && position_ == StreamEnd();
}

void StreamSequence::Enter(size_t index) {
    current_ = index;
    position_ = 0;
    std::string().swap(value_);
    valueRead_ = false;
    pathData_ = Descriptor();
    header_ = !AtEnd() && Current().failure == NO_ERROR ? StreamHeader(Current()) : std::string();
}

DWORD StreamSequence::Read(BYTE* buffer, DWORD count, DWORD& done) {
    done = 0;
    if (count == 0) return NO_ERROR;
    while (!AtEnd() && Delivered()) Enter(current_ + 1);
    if (AtEnd()) return NO_ERROR;
    if (Current().failure != NO_ERROR) return Current().failure;
    if (position_ < header_.size()) {
        done = static_cast<DWORD>(std::min<ULONGLONG>(count, header_.size() - position_));
        std::memcpy(buffer, header_.data() + position_, done);
        position_ += done;
    }
    const DWORD wanted =
        static_cast<DWORD>(std::min<ULONGLONG>(count - done, StreamEnd() - position_));
    DWORD got = 0;
    const DWORD error =
        wanted == 0 ? NO_ERROR : ReadData(position_ - header_.size(), buffer + done, wanted, got);
    position_ += got;
    done += got;
    // Bytes already copied go out now; the error comes with the next read.
    return done > 0 ? NO_ERROR : error;
}

DWORD StreamSequence::Seek(ULONGLONG request, ULONGLONG& skipped) {
    skipped = 0;
    if (AtEnd() || Current().failure != NO_ERROR || position_ < header_.size())
        return request == 0 ? NO_ERROR : ERROR_SEEK;
    const ULONGLONG left = StreamEnd() - position_;
    skipped = std::min(request, left);
    position_ += skipped;
    return request <= left ? NO_ERROR : ERROR_SEEK;
}

DWORD StreamSequence::ReadData(ULONGLONG offset, BYTE* buffer, DWORD count, DWORD& got) {
    const BackupStream& stream = Current();
    got = 0;
    if (stream.source == StreamSource::FileData)
        return ReadDataAt(FileDescriptor(), offset, buffer, count, got);
    if (stream.source == StreamSource::Path) return ReadPathData(offset, buffer, count, got);
    if (stream.source == StreamSource::Attribute && !valueRead_) {
        const DWORD error = ReadAttributeOfSize(AttributeFile::OfDescriptor(FileDescriptor()),
                                                stream.attribute, stream.attributeSize, value_);
        if (error != NO_ERROR) return error;
        valueRead_ = true;
    }
    const std::string& bytes = stream.source == StreamSource::Attribute ? value_ : stream.held;
    std::memcpy(buffer, bytes.data() + offset, count);
    got = count;
    return NO_ERROR;
}

DWORD StreamSequence::ReadPathData(ULONGLONG offset, BYTE* buffer, DWORD count, DWORD& got) {
    if (!pathData_.IsOpen()) {
        pathData_ = Descriptor(
            open(Current().path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (!pathData_.IsOpen()) return errno == ENOENT ? kAttributeChangedError : ErrorFromErrno(errno);
    }
    return ReadDataAt(pathData_.Get(), offset, buffer, count, got);
}

}  // namespace mvx
