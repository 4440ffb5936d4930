// The backup stream walk through the loaded module, as the host runs it: the
// input is what BackupRead delivers for one file, and the panel the host
// opens on that file must show exactly the streams a model of the walk finds
// (20 bytes of header, the name, the data skipped), with their sizes; a walk
// that falls out of step must refuse the panel with its error number instead
// of showing part of a list.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "common/ErrorNumbers.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/ScratchDirectory.h"
#include "host/dialogs/ScriptedUi.h"
#include "host/module/PluginSession.h"
#include "host/panel/CommandLinePanel.h"
#include "host/panel/StreamListing.h"
#include "platform/posix/backup/BackupControl.h"

namespace {

const size_t kHeaderSize = 20;

// What the walk must make of the bytes: the sizes of the streams, in order,
// or the error number the walk stops with.
struct WalkModel {
    std::vector<uint64_t> sizes;
    unsigned error = 0;
};

uint64_t LittleEndian(const std::string& bytes, size_t at, int size) {
    uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

WalkModel ModelWalk(const std::string& bytes) {
    WalkModel model;
    size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < kHeaderSize) {
            model.error = kErrorBackupWalkOutOfStep;
            return model;
        }
        const uint64_t size = LittleEndian(bytes, at + 8, 8);
        const uint64_t nameSize = LittleEndian(bytes, at + 16, 4);
        at += kHeaderSize;
        if (nameSize % 2 != 0) {
            model.error = kErrorOddStreamNameSize;
            return model;
        }
        if (bytes.size() - at < nameSize || bytes.size() - at - nameSize < size) {
            model.error = kErrorBackupWalkOutOfStep;
            return model;
        }
        at += nameSize + size;
        model.sizes.push_back(size);
    }
    return model;
}

// Every box the module shows is an error here; only the last is kept, so
// that millions of inputs do not pile up a record.
class LastBoxUi : public ScriptedUi {
public:
    int ShowMessageBox(unsigned, const char*, const char* const* lines, int lineCount,
                       int) override {
        lastBox.clear();
        for (int i = 0; i < lineCount; ++i)
            lastBox += std::string(lines[i] != nullptr ? lines[i] : "") + "|";
        ++boxes;
        return 0;
    }
    std::string lastBox;
    int boxes = 0;
};

struct Session {
    ScratchDirectory scratch;
    std::string file = scratch.PathOf("streams");
    LastBoxUi ui;
    PluginSession plugin{PluginSession::DefaultModulePath(), ui};

    Session() { scratch.Write("streams", "contents the walk never reads"); }
};

Session& TheSession() {
    static Session session;
    return session;
}

void CheckRefused(const CommandLinePanel& panel, const LastBoxUi& ui, unsigned error) {
    FUZZ_CHECK(!panel.IsOpen());
    FUZZ_CHECK(ui.boxes == 1);
    FUZZ_CHECK(ui.lastBox.find("#" + std::to_string(error) + "|") != std::string::npos);
}

void CheckListed(const CommandLinePanel& panel, const Session& session, const WalkModel& model) {
    FUZZ_CHECK(panel.IsOpen());
    FUZZ_CHECK(session.ui.boxes == 0);
    StreamListing listing;
    FUZZ_CHECK(ReadStreamListing(session.plugin.Entries(), panel.Handle(), listing));
    FUZZ_CHECK(listing.streams.size() == model.sizes.size());
    for (size_t i = 0; i < model.sizes.size(); ++i) {
        FUZZ_CHECK(listing.streams[i].index == i);
        FUZZ_CHECK(listing.streams[i].size == model.sizes[i]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Session& session = TheSession();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(mvx::SetBackupBytes(session.file, bytes));
    const WalkModel model = ModelWalk(bytes);
    session.ui.boxes = 0;
    {
        CommandLinePanel panel(session.plugin.Entries(), session.file);
        if (model.error != 0)
            CheckRefused(panel, session.ui, model.error);
        else
            CheckListed(panel, session, model);
    }
    mvx::ClearBackupBytes();
    return 0;
}
