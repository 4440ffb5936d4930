#include "host/listing/ScanCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "host/listing/AlternateStreamFilter.h"
#include "host/listing/ScanOutput.h"
#include "host/listing/TreeWalk.h"
#include "host/messages/ErrorLine.h"
#include "host/messages/ExitStatus.h"
#include "host/panel/CommandLinePanel.h"
#include "host/panel/StreamListing.h"

namespace {

// The plug-in names every item but an alternate data stream "{Kind}...", and
// escapes a leading "{" of a stream's name; an item of a kind it does not
// know has no description.
bool IsAlternateStream(const ListedStream& stream) {
    return stream.description && !stream.name.empty() && stream.name[0] != '{';
}

// Why the plug-in cannot be given `name`, or null. It takes blanks off both
// ends of the name on its command line and reads a backslash as a separator:
// it would open another file, or none.
const char* Unreachable(const std::string& name) {
    if (!name.empty() && (name.back() == ' ' || name.back() == '\t' || name.back() == '\n'))
        return "the plug-in cannot open a name that ends in a blank";
    if (name.find('\\') != std::string::npos)
        return "the plug-in cannot open a name that holds a backslash";
    return nullptr;
}

// Lists, through the plug-in, the files and directories that a tree walk
// reaches and that may have alternate data streams, and writes out those
// that have some.
class StreamScan : public TreeVisitor {
public:
    StreamScan(const PluginEntryPoints& entries, bool json, std::ostream& out, std::ostream& err)
        : entries(entries), json(json), out(out), err(err) {}

    bool Visit(const std::string& path, bool directory) override;
    void Unreadable(const std::string& path, int error) override;

    bool Failed() const { return failed; }

private:
    // The alternate data streams the panel shows for `path`; false, when
    // said why, if it cannot be shown.
    bool ListStreams(const std::string& path, std::vector<ListedStream>& streams);
    // The name the plug-in opens `path` by (UTF-8); false, when said why, if
    // it has none.
    bool PluginName(const std::string& path, std::string& name);
    void Say(const std::string& path, const std::string& reason);

    const PluginEntryPoints& entries;
    AlternateStreamFilter filter;
    const bool json;
    std::ostream& out;
    std::ostream& err;
    bool failed = false;
};

bool StreamScan::Visit(const std::string& path, bool directory) {
    std::vector<ListedStream> streams;
    if (!filter.MayHaveAlternateStreams(path, directory) || !ListStreams(path, streams) ||
        streams.empty())
        return true;
    if (json)
        WriteScanJson(path, streams, out);
    else
        WriteScanText(path, streams, out);
    // File by file, so that the findings of a long walk reach the reader as
    // they come; once nobody can read them, the walk is pointless.
    out.flush();
    return static_cast<bool>(out);
}

void StreamScan::Unreadable(const std::string& path, int error) {
    Say(path, std::strerror(error));
}

bool StreamScan::ListStreams(const std::string& path, std::vector<ListedStream>& streams) {
    std::string name;
    if (!PluginName(path, name))
        return false;
    CommandLinePanel panel(entries, name);
    // An error the plug-in shows is told even when it opens the file.
    if (!panel.FailureReason().empty())
        Say(path, panel.FailureReason());
    if (!panel.IsOpen())
        return false;
    StreamListing listing;
    if (!ReadStreamListing(entries, panel.Handle(), listing)) {
        Say(path, "the plug-in cannot list its streams");
        return false;
    }
    std::copy_if(listing.streams.begin(), listing.streams.end(), std::back_inserter(streams),
                 IsAlternateStream);
    return true;
}

bool StreamScan::PluginName(const std::string& path, std::string& name) {
    // Canonical, because the layer resolves ".." in the text, as Windows does,
    // where Linux goes through symbolic links.
    char* canonical = realpath(path.c_str(), nullptr);
    if (canonical == nullptr) {
        Unreadable(path, errno);
        return false;
    }
    name = canonical;
    std::free(canonical);
    const char* unreachable = Unreachable(name);
    if (unreachable == nullptr)
        return true;
    Say(path, unreachable);
    return false;
}

void StreamScan::Say(const std::string& path, const std::string& reason) {
    WriteErrorLine(err, path + ": " + reason);
    failed = true;
}

}  // namespace

int RunScan(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& out,
            std::ostream& err) {
    StreamScan scan(entries, line.json, out, err);
    for (const std::string& root : line.directories) {
        if (!WalkTree(root, scan))
            return kExitFailed;
    }
    return scan.Failed() ? kExitFailed : kExitDone;
}
