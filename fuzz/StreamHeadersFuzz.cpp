// The backup stream walk below the host: the input is what BackupRead
// delivers for one file, and the stream reader, walking it through the layer,
// must find exactly the headers a model of the walk finds (kind, attributes,
// size, and the name's bytes as they came), stop at the end of the bytes,
// refuse an odd name size with its error number and report any header, name
// or data cut short as out of step. The whole host path over the same bytes
// is the backup walk target's, and that one opens and closes the file for
// each input; this one keeps one file open, and setting its bytes anew
// restarts the reading under way, so that an input costs no system call.
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

#include "common/ErrorNumbers.h"
#include "fuzz/BackupWalkModel.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/ScratchDirectory.h"
#include "platform/posix/backup/BackupControl.h"
#include "streams/BackupFile.h"
#include "streams/BackupStreamReader.h"
#include "streams/StreamEntry.h"

namespace {

// Stands in the raw name while the walk has not set it.
const WCHAR kUnsetName[] = u"(name not set)";

// The file, open for backup reading from the first input to the end.
struct OpenFile {
    ScratchDirectory directory;
    std::string path = directory.PathOf("streams");
    BackupFile file;

    OpenFile() {
        directory.Write("streams", "contents the walk never reads");
        FUZZ_CHECK(mvx::SetBackupBytes(path, std::string()));
        FUZZ_CHECK(file.Open(path.c_str()));
    }
};

OpenFile& TheFile() {
    static OpenFile open;
    return open;
}

// What one call of Next did.
enum class Outcome { Found, End, OutOfStep, OddNameSize, OtherThrow };

Outcome NextOutcome(BackupStreamReader& reader, StreamEntry& entry) {
    bool found = false;
    try {
        if (!reader.Next(found, entry))
            return Outcome::OutOfStep;
        return found ? Outcome::Found : Outcome::End;
    } catch (unsigned error) {
        return error == kErrorOddStreamNameSize ? Outcome::OddNameSize : Outcome::OtherThrow;
    } catch (...) {
        return Outcome::OtherThrow;
    }
}

// How the walk must stop once the model's streams are all found.
Outcome FinalOutcome(const WalkModel& model) {
    if (model.error == kErrorOddStreamNameSize)
        return Outcome::OddNameSize;
    return model.error == 0 ? Outcome::End : Outcome::OutOfStep;
}

// Every header field differs from what the walk must set it to, so that one
// the walk leaves alone shows.
void Unset(StreamEntry& entry, const WalkModel& model, size_t index) {
    const WalkModel::Stream expected =
        index < model.streams.size() ? model.streams[index] : WalkModel::Stream();
    entry.kindId = ~expected.kindId;
    entry.attributes = ~expected.attributes;
    entry.size = ~expected.size;
    entry.rawName = kUnsetName;
}

// An unnamed stream leaves the raw name as it was; a named one holds exactly
// the name's units, a 0 among them included.
void CheckEntry(const StreamEntry& entry, const WalkModel::Stream& stream, const uint8_t* data) {
    FUZZ_CHECK(entry.kindId == stream.kindId);
    FUZZ_CHECK(entry.attributes == stream.attributes);
    FUZZ_CHECK(entry.size == stream.size);
    if (stream.nameSize == 0) {
        const int unsetLength = static_cast<int>(sizeof(kUnsetName) / sizeof(WCHAR)) - 1;
        FUZZ_CHECK(entry.rawName.Length() == unsetLength);
        FUZZ_CHECK(entry.rawName.Compare(kUnsetName) == 0);
        return;
    }
    FUZZ_CHECK(entry.rawName.Length() == static_cast<int>(stream.nameSize / 2));
    FUZZ_CHECK(std::memcmp(entry.rawName.Ptr(), data + stream.nameAt, stream.nameSize) == 0);
}

// Walks the file to its end or to the first failure: every stream before it
// must be the model's, and the walk must stop where and as the model does.
void CheckWalk(BackupFile& file, const uint8_t* data, const WalkModel& model) {
    BackupStreamReader reader(file);
    StreamEntry entry;
    for (size_t index = 0;; ++index) {
        Unset(entry, model, index);
        const Outcome outcome = NextOutcome(reader, entry);
        if (outcome != Outcome::Found) {
            FUZZ_CHECK(index == model.streams.size());
            FUZZ_CHECK(outcome == FinalOutcome(model));
            break;
        }
        FUZZ_CHECK(index < model.streams.size());
        CheckEntry(entry, model.streams[index], data);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    OpenFile& open = TheFile();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    const WalkModel model = ModelWalk(bytes);
    FUZZ_CHECK(mvx::SetBackupBytes(open.path, std::move(bytes)));
    CheckWalk(open.file, data, model);
    return 0;
}
