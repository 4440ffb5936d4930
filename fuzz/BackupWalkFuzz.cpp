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

#include "common/ErrorNumbers.h"
#include "fuzz/BackupWalkModel.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/ScratchDirectory.h"
#include "host/dialogs/ScriptedUi.h"
#include "host/module/PluginSession.h"
#include "host/panel/CommandLinePanel.h"
#include "host/panel/StreamListing.h"
#include "platform/posix/backup/BackupControl.h"

namespace {

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
    FUZZ_CHECK(listing.streams.size() == model.streams.size());
    for (size_t i = 0; i < model.streams.size(); ++i) {
        FUZZ_CHECK(listing.streams[i].index == i);
        FUZZ_CHECK(listing.streams[i].size == model.streams[i].size);
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
