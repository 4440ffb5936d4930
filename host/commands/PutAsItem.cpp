#include "host/commands/PutAsItem.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>

#include "host/commands/PutCommand.h"
#include "host/destinations/ScratchFolder.h"
#include "host/messages/ErrorLine.h"
#include "host/messages/ExitStatus.h"
#include "host/panel/CommandLinePanel.h"

namespace {

// A link named `itemName` in `scratch` to `source`; empty, with `why` set,
// when it cannot be made.
std::string LinkAs(ScratchFolder& scratch, const std::string& source,
                   const std::string& itemName, std::string& why) {
    std::error_code error;
    const std::string target = std::filesystem::absolute(source, error).string();
    const std::string link = scratch.Path() + "/" + itemName;
    scratch.Expect(itemName);
    if (error || symlink(target.c_str(), link.c_str()) != 0) {
        why = error ? error.message() : std::strerror(errno);
        return "";
    }
    return link;
}

}  // namespace

int RunPutAs(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& err) {
    const std::string& source = line.sources[0];
    if (access(source.c_str(), F_OK) != 0) {
        WriteErrorLine(err, source + ": " + std::strerror(errno));
        return kExitFailed;
    }
    CommandLinePanel panel(entries, line.file);
    if (!panel.IsOpenOrSaid(err))
        return kExitFailed;
    ScratchFolder scratch(ScratchFolder::TemporaryRoot());
    std::string why = scratch.Failure();
    const std::string link = why.empty() ? LinkAs(scratch, source, line.itemName, why) : "";
    if (link.empty()) {
        WriteErrorLine(err, "cannot hand " + source + " over as " + line.itemName + ": " + why);
        return kExitFailed;
    }
    // The plug-in would delete only the link; the source goes once it is written.
    int status = WriteSources(entries, panel.Handle(), line.file, {link}, false, line.yes, err);
    if (status == kExitDone && line.move && unlink(source.c_str()) != 0) {
        WriteErrorLine(err, "written, but cannot delete " + source + ": " + std::strerror(errno));
        status = kExitFailed;
    }
    return status;
}
