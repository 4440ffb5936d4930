#include "host/listing/ListCommand.h"

#include "host/listing/ListingOutput.h"
#include "host/messages/ErrorLine.h"
#include "host/messages/ExitStatus.h"
#include "host/panel/CommandLinePanel.h"
#include "host/panel/StreamListing.h"

int RunList(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& out,
            std::ostream& err) {
    CommandLinePanel panel(entries, line.file);
    if (!panel.IsOpenOrSaid(err))
        return kExitFailed;
    StreamListing listing;
    if (!ReadStreamListing(entries, panel.Handle(), listing)) {
        WriteErrorLine(err, "the streams of " + line.file + " cannot be listed");
        return kExitFailed;
    }
    if (line.json)
        WriteListingJson(listing, line.file, out);
    else
        WriteListingText(listing, line.humanReadable, TerminalCharset::OfLocale(), out);
    return kExitDone;
}
