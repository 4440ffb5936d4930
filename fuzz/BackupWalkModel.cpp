#include "fuzz/BackupWalkModel.h"

#include "common/ArrayStorage.h"
#include "common/ErrorNumbers.h"

namespace {

const size_t kHeaderSize = 20;

uint64_t LittleEndian(const std::string& bytes, size_t at, int size) {
    uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The stream whose header starts at `at`, which has all 20 bytes.
WalkModel::Stream HeaderAt(const std::string& bytes, size_t at) {
    WalkModel::Stream stream;
    stream.kindId = static_cast<uint32_t>(LittleEndian(bytes, at, 4));
    stream.attributes = static_cast<uint32_t>(LittleEndian(bytes, at + 4, 4));
    stream.size = LittleEndian(bytes, at + 8, 8);
    stream.nameSize = static_cast<uint32_t>(LittleEndian(bytes, at + 16, 4));
    stream.nameAt = at + kHeaderSize;
    return stream;
}

// Why the walk cannot take `stream` whole from what follows its header, or 0.
unsigned FaultOf(const WalkModel::Stream& stream, size_t left) {
    if (stream.nameSize % 2 != 0)
        return kErrorOddStreamNameSize;
    // A name of that many units announces a lost place, whatever follows.
    if (stream.nameSize / 2 >= static_cast<uint32_t>(kMaxArrayCapacity))
        return kErrorBackupWalkOutOfStep;
    if (left < stream.nameSize || left - stream.nameSize < stream.size)
        return kErrorBackupWalkOutOfStep;
    return 0;
}

}  // namespace

WalkModel ModelWalk(const std::string& bytes) {
    WalkModel model;
    size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < kHeaderSize) {
            model.error = kErrorBackupWalkOutOfStep;
            return model;
        }
        const WalkModel::Stream stream = HeaderAt(bytes, at);
        model.error = FaultOf(stream, bytes.size() - stream.nameAt);
        if (model.error != 0)
            return model;
        at = stream.nameAt + stream.nameSize + static_cast<size_t>(stream.size);
        model.streams.push_back(stream);
    }
    return model;
}
