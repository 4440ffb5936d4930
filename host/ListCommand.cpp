#include "host/ListCommand.h"

#include <ostream>

#include "host/CommandLinePanel.h"
#include "host/ExitStatus.h"
#include "host/ListingOutput.h"
#include "host/StreamListing.h"

int RunList(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& out,
            std::ostream& err) {
    CommandLinePanel panel(entries, line.file);
    if (!panel.IsOpenOrSaid("list", err))
        return kExitFailed;
    StreamListing listing;
    if (!ReadStreamListing(entries, panel.Handle(), listing)) {
        err << "morvex list: the streams of " << line.file << " cannot be listed\n";
        return kExitFailed;
    }
    if (line.json)
        WriteListingJson(listing, out);
    else
        WriteListingText(listing, out);
    out.flush();
    return out ? kExitDone : kExitFailed;
}
