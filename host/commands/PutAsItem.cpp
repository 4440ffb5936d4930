#include "host/commands/PutAsItem.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <istream>
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

// Whether reading `in` failed rather than came to its end: iostreams tell
// a read error from the end no more than by a bad stream, and the program's
// standard input is read through the C stream, which keeps the error.
bool ReadFailed(const std::istream& in) {
    return in.bad() || (&in == &std::cin && std::ferror(stdin));
}

// Standard input, read whole into `scratch` as the file `itemName`; empty,
// with `why` set, when it cannot be.
std::string StandardInputAs(ScratchFolder& scratch, const std::string& itemName,
                            std::istream& in, std::string& why) {
    const std::string copy = scratch.Path() + "/" + itemName;
    scratch.Expect(itemName);
    std::ofstream file(copy, std::ios::binary);
    // Copying no bytes counts as a failure to the stream: empty input is
    // none, it makes an empty stream.
    if (file && in.peek() != std::char_traits<char>::eof())
        file << in.rdbuf();
    file.close();
    if (!file || ReadFailed(in)) {
        why = std::strerror(errno != 0 ? errno : EIO);
        return "";
    }
    return copy;
}

}  // namespace

int RunPutAs(const PluginEntryPoints& entries, const CommandLine& line, std::istream& in,
             std::ostream& err) {
    const std::string& source = line.sources[0];
    const bool standardInput = source == "-";
    if (!standardInput && access(source.c_str(), F_OK) != 0) {
        WriteErrorLine(err, source + ": " + std::strerror(errno));
        return kExitFailed;
    }
    // The plug-in is handed a link in a scratch folder, so only here can the
    // source of a move be told to be the file itself.
    if (line.move && !standardInput && !NoSourceIsTheFile({{source, source}}, line.file, err))
        return kExitFailed;
    CommandLinePanel panel(entries, line.file);
    if (!panel.IsOpenOrSaid(err))
        return kExitFailed;
    ScratchFolder scratch(ScratchFolder::TemporaryRoot());
    std::string why = scratch.Failure();
    std::string handed;
    if (why.empty())
        handed = standardInput ? StandardInputAs(scratch, line.itemName, in, why)
                               : LinkAs(scratch, source, line.itemName, why);
    const std::string shown = standardInput ? "standard input" : source;
    if (handed.empty()) {
        WriteErrorLine(err, "cannot hand " + shown + " over as " + line.itemName + ": " + why);
        return kExitFailed;
    }
    // The plug-in would delete only the link; the source goes once it is written.
    int status =
        WriteSources(entries, panel.Handle(), line.file, {{handed, shown}}, false, line.yes, err);
    if (status == kExitDone && line.move && !standardInput && unlink(source.c_str()) != 0) {
        WriteErrorLine(err, "written, but cannot delete " + source + ": " + std::strerror(errno));
        status = kExitFailed;
    }
    return status;
}
