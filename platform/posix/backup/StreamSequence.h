// Reading a file's backup streams one after the other: each stream is its
// header and name, then its data, which is read only when asked for and
// only once (an attribute value) or straight from the file (its contents, or
// a stream that is a path), in the chunks the caller asks for.
#pragma once

#include "platform/posix/backup/BackupContext.h"
#include "platform/posix/backup/BackupStreams.h"
#include "platform/posix/core/Descriptor.h"

#include <string>
#include <vector>

namespace mvx {

class StreamSequence final : public BackupContext {
public:
    StreamSequence(std::shared_ptr<FileObject> file, std::vector<BackupStream> streams);

    DWORD Read(BYTE* buffer, DWORD count, DWORD& done) override;
    DWORD Seek(ULONGLONG request, ULONGLONG& skipped) override;

private:
    bool AtEnd() const { return current_ >= streams_.size(); }
    const BackupStream& Current() const { return streams_[current_]; }
    ULONGLONG StreamEnd() const { return header_.size() + Current().size; }
    bool Delivered() const;
    void Enter(size_t index);
    // Copies data of the current stream; `got` says how much, also on failure.
    DWORD ReadData(ULONGLONG offset, BYTE* buffer, DWORD count, DWORD& got);
    DWORD ReadPathData(ULONGLONG offset, BYTE* buffer, DWORD count, DWORD& got);

    std::vector<BackupStream> streams_;
    size_t current_ = 0;
    std::string header_;      // header and name of the current stream
    ULONGLONG position_ = 0;  // in the current stream, header first
    std::string value_;       // the current stream's attribute value, once read
    bool valueRead_ = false;
    Descriptor pathData_;     // the current stream's path, once opened
};

}  // namespace mvx
