#include "host/commands/GetToPath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ext/stdio_filebuf.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "host/commands/FileIdentity.h"
#include "host/destinations/PipeRelay.h"
#include "host/destinations/ScratchFolder.h"
#include "host/messages/ErrorBoxHold.h"
#include "host/messages/ErrorLine.h"
#include "host/messages/ExitStatus.h"
#include "host/messages/ItemFailure.h"
#include "host/messages/SystemMessage.h"
#include "host/panel/CommandLinePanel.h"
#include "host/panel/ItemSelection.h"
#include "host/text/Utf8Text.h"
#include "hostapi/OperationMode.h"

namespace {

// Where the copy goes, and how it gets there.
struct Target {
    std::string path;     // "-" for standard output
    bool streamed;        // written into (standard output, a pipe, a device), not renamed over
    std::string scratch;  // the Linux folder the plug-in extracts into (or its FIFO is in)
};

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A new or regular file is replaced by a rename in its own folder; anything
// else that exists is written into, as cp would. The file the item is read
// from is never the target.
bool FindTarget(const std::string& path, const std::string& source, Target& target,
                std::string& why) {
    target.path = path;
    struct stat status {};
    const bool exists = path != "-" && stat(path.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode)) {
        why = "is a directory";
        return false;
    }

    // Only a regular file can be the one read from; anything else is not
    // opened before its turn, which could release a writer waiting on a FIFO.
    const Sameness sameness =
        exists && S_ISREG(status.st_mode) ? CompareFiles(path, source) : Sameness::kDifferent;
    if (sameness != Sameness::kDifferent) {
        why = sameness == Sameness::kSame ? "is the file the item is read from"
                                          : "cannot be told apart from the file the item is "
                                            "read from";
        return false;
    }
    target.streamed = path == "-" || (exists && !S_ISREG(status.st_mode));
    // A link to a file is written through, as cp writes through it: the
    // copy replaces the file the link names, beside that file.
    if (exists && !target.streamed) {
        char* real = realpath(path.c_str(), nullptr);
        if (real != nullptr) {
            target.path = real;
            std::free(real);
        }
    }
    target.scratch = target.streamed ? ScratchFolder::TemporaryRoot() : FolderOf(target.path);
    // The copy is put in place through the system, which reads '\\' as a
    // folder separator.
    if ((target.path + target.scratch).find('\\') != std::string::npos) {
        why = "its path holds a backslash, which would be read as a folder separator";
        return false;
    }
    return true;
}

// Renamed into place; a file replaced keeps its mode, owner and streams, as
// one written over in place would, also one that came or went since the
// target was looked at.
bool Deliver(const std::string& extracted, const Target& target, std::string& why) {
    std::string from, to;
    if (!FromUtf8(extracted, CP_ACP, from) || !FromUtf8(target.path, CP_ACP, to)) {
        why = "the name cannot be given in the code page of file names";
        return false;
    }
    const bool delivered =
        ReplaceFileA(to.c_str(), from.c_str(), nullptr, 0, nullptr, nullptr) ||
        (GetLastError() == ERROR_FILE_NOT_FOUND && MoveFileExA(from.c_str(), to.c_str(), 0));
    if (!delivered)
        why = SystemMessageText(GetLastError());
    return delivered;
}

// The one item `line` names; false, with the reason told, when it names
// none or several.
bool SelectOne(const PluginEntryPoints& entries, HANDLE panel, const CommandLine& line,
               std::ostream& err, PanelItem& item) {
    std::vector<PanelItem> items;
    if (!SelectItemsOrSay(entries, panel, line.items, line.file, err, items))
        return false;
    if (items.size() != 1) {
        WriteErrorLine(err, line.file + ": '" + line.items[0] + "' names " +
                                std::to_string(items.size()) + " items; #N names one of them");
        return false;
    }
    item = items[0];
    return true;
}

// One item of the opened file on its way out.
struct Extraction {
    const PluginEntryPoints& entries;
    HANDLE panel;
    PanelItem item;
    ScratchFolder& scratch;
    std::string subject;  // "ITEM -> PATH", naming the item in each error line
    std::ostream& err;
};

// False once the failure is told: the plug-in's own text and the system's
// reason, as get --to tells a failed item.
bool ExtractInto(Extraction& extraction) {
    std::string folder;
    if (!FromUtf8(extraction.scratch.Path() + "\\", CP_ACP, folder)) {
        WriteErrorLine(extraction.err, extraction.scratch.Path() +
                                           ": the name cannot be given in the code page of "
                                           "file names");
        return false;
    }
    ErrorBoxHold hold;
    SetLastError(NO_ERROR);
    if (extraction.entries.GetFiles(extraction.panel, &extraction.item, 1, 0, folder.c_str(),
                                    OpModeQuiet) == 1)
        return true;
    WriteItemFailure(extraction.err, extraction.subject, hold.Boxes(), "not copied");
    return false;
}

// The copy made in the scratch folder, then renamed into place. False once
// the failure is told.
bool PlaceItem(Extraction& extraction, const Target& target) {
    extraction.scratch.Expect(ToUtf8(extraction.item.fileName, CP_ACP));
    if (!ExtractInto(extraction))
        return false;
    const std::vector<std::string> made = extraction.scratch.Entries();
    if (made.size() != 1) {
        WriteErrorLine(extraction.err, extraction.subject + ": not copied");
        return false;
    }
    std::string why;
    if (Deliver(made[0], target, why))
        return true;
    WriteErrorLine(extraction.err, target.path + ": " + why);
    return false;
}

// A pipe or a device is written into where it is, opened once, as cp opens
// it. A name that reaches a folder or a regular file by now (swapped since it
// was looked at) is not written into: that would cut the file and leave it
// half written should the copy fail. The descriptor, or -1 with `why`.
int OpenInPlace(const std::string& path, std::string& why) {
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    struct stat status {};
    if (fstat(fd, &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
        close(fd);
        why = "is no pipe or device any more; nothing was written";
        return -1;
    }
    return fd;
}

// The plug-in writes into a FIFO whose bytes go on to the target as they
// come, so no copy of the whole item is ever staged. False once the failure
// is told.
bool StreamItem(Extraction& extraction, const Target& target, std::ostream& out) {
    // Told as GNU tools tell a failed standard output.
    const std::string where = target.path == "-" ? "write error" : target.path;
    std::unique_ptr<__gnu_cxx::stdio_filebuf<char>> opened;
    if (target.path != "-") {
        std::string why;
        const int fd = OpenInPlace(target.path, why);
        if (fd < 0) {
            WriteErrorLine(extraction.err, where + ": " + why);
            return false;
        }
        opened = std::make_unique<__gnu_cxx::stdio_filebuf<char>>(fd, std::ios::out);
    }
    std::ostream file(opened.get());
    std::ostream& to = target.path == "-" ? out : file;
    const std::string name = ToUtf8(extraction.item.fileName, CP_ACP);
    extraction.scratch.Expect(name);
    PipeRelay relay(extraction.scratch.Path() + "/" + name, to);
    if (!relay.Failure().empty()) {
        WriteErrorLine(extraction.err, "cannot pass the item on: " + relay.Failure());
        return false;
    }
    std::ostringstream copyFailure;
    Extraction told{extraction.entries, extraction.panel, extraction.item,
                    extraction.scratch, extraction.subject, copyFailure};
    const bool copied = ExtractInto(told);
    if (!relay.Finish()) {
        WriteErrorLine(extraction.err, where + ": " + relay.Failure());
        return false;
    }
    extraction.err << copyFailure.str();
    return copied;
}

}  // namespace

int RunGetToPath(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& out,
                 std::ostream& err) {
    Target target;
    std::string why;
    if (!FindTarget(line.output, line.file, target, why)) {
        WriteErrorLine(err, line.output + ": " + why);
        return kExitFailed;
    }
    CommandLinePanel panel(entries, line.file);
    if (!panel.IsOpenOrSaid(err))
        return kExitFailed;
    PanelItem item;
    if (!SelectOne(entries, panel.Handle(), line, err, item))
        return kExitFailed;
    ScratchFolder scratch(target.scratch);
    if (!scratch.Failure().empty()) {
        WriteErrorLine(err, "cannot write in " + target.scratch + ": " + scratch.Failure());
        return kExitFailed;
    }
    const std::string name = ToUtf8(item.fileName, CP_ACP);
    Extraction extraction{entries, panel.Handle(), item, scratch, name + " -> " + line.output,
                          err};
    const bool copied = target.streamed ? StreamItem(extraction, target, out)
                                        : PlaceItem(extraction, target);
    if (!copied)
        return kExitFailed;
    // The stream goes only once its copy is in place.
    if (line.move) {
        ErrorBoxHold hold;
        SetLastError(NO_ERROR);
        if (entries.DeleteFiles(panel.Handle(), &item, 1, OpModeQuiet) != 1) {
            WriteItemFailure(err, line.file + ":" + name, hold.Boxes(),
                             "copied, but not deleted");
            return kExitFailed;
        }
    }
    return kExitDone;
}
