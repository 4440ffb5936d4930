#include <cstring>
#include <string>
#include <vector>

#include "tests/windows/BackupStandIn.h"
#include "tests/windows/HostSession.h"
#include "tests/windows/SmokeChecks.h"

namespace {

constexpr int kOpenFromCommandLine = 4;
constexpr unsigned kQuiet = 1;
constexpr int kKeepButton = 1;
const char kReportText[] = "Quarterly figures\r\n";

const StandInStream kData{BACKUP_DATA, L"", sizeof(kReportText) - 1};
const StandInStream kNotes{BACKUP_ALTERNATE_DATA, L":notes:$DATA", 5};
const StandInStream kSecurity{BACKUP_SECURITY_DATA, L"", 120};

HANDLE OpenFile(ProbedPlugin& plugin, const std::string& name) {
    return plugin.OpenPlugin(kOpenFromCommandLine, reinterpret_cast<INT_PTR>(name.c_str()));
}

uint64_t ItemSize(const PanelItem& item) {
    return static_cast<uint64_t>(item.sizeHigh) << 32 | item.sizeLow;
}

// The panel's items as "name size index", one after the other.
std::string Listing(ProbedPlugin& plugin, HANDLE panel) {
    PanelItem* items = nullptr;
    int count = -1;
    if (plugin.GetFindData(panel, &items, &count, 0) != 1)
        return "<GetFindData failed>";
    std::string listing;
    for (int i = 0; i < count; ++i) {
        listing += listing.empty() ? "" : "; ";
        listing += std::string(items[i].fileName) + " " + std::to_string(ItemSize(items[i])) +
                   " " + std::to_string(items[i].itemIndex);
    }
    plugin.FreeFindData(panel, items, count);
    return listing;
}

// Each list of streams opens as a panel that lists them, sizes whole.
void CheckListings(SmokeContext& smoke, const std::string& report) {
    const StandInStream fourGiB{BACKUP_ALTERNATE_DATA, L":big:$DATA", 4294967296ull};
    const StandInStream justUnder{BACKUP_ALTERNATE_DATA, L":edge:$DATA", 4294967295ull};
    struct Case {
        const char* what;
        std::vector<StandInStream> streams;
        const char* expectedListing;
    };
    const Case cases[] = {
        {"no streams", {}, ""},
        {"main data only", {kData}, "{Data} 19 0"},
        {"data, security and a named stream", {kData, kSecurity, kNotes},
         "{Data} 19 0; {Security_Data} 120 1; notes 5 2"},
        {"sizes at the 32-bit limit and one past it", {justUnder, fourGiB},
         "edge 4294967295 0; big 4294967296 1"},
    };
    for (const Case& c : cases) {
        SetStandInStreams(c.streams);
        HostSession session(smoke.plugin);
        const std::string what = c.what;
        HANDLE panel = OpenFile(smoke.plugin, report);
        if (!smoke.log.Check(panel != INVALID_HANDLE_VALUE, what + ": opens"))
            continue;
        smoke.log.Equal(Listing(smoke.plugin, panel), std::string(c.expectedListing),
                        what + ": items");
        smoke.plugin.ClosePlugin(panel);
        smoke.log.Equal(session.ShownText(), std::string(), what + ": no message");
        smoke.log.Equal(OpenStandInWalks(), 0, what + ": every backup walk was ended");
    }
}

void CheckPanelInfo(SmokeContext& smoke, HANDLE panel, const std::string& report) {
    OpenPluginInfo info;
    std::memset(&info, 0xA5, sizeof(info));
    smoke.plugin.GetOpenPluginInfo(panel, &info);
    smoke.log.Equal(info.structSize, 68, "GetOpenPluginInfo: record size");
    smoke.log.Equal(std::string(info.panelTitle), std::string("MORVEX:report.txt"),
                    "GetOpenPluginInfo: title");
    smoke.log.Equal(std::string(info.filePath), report, "GetOpenPluginInfo: file path");
    smoke.log.Equal(std::string(info.pluginName), std::string("MORVEX"),
                    "GetOpenPluginInfo: plug-in name");
}

PanelItem SourceItem(const char* name, DWORD attributes) {
    PanelItem item;
    std::memset(&item, 0, sizeof(item));
    std::strcpy(item.fileName, name);
    item.fileAttributes = attributes;
    return item;
}

// Refusals that come before the system is asked to write anything; each
// leaves the panel as it was. The host names the files of its other panel
// relative to the current directory, which it sets to that panel's.
void CheckRefusedTransfers(SmokeContext& smoke, HANDLE panel, PanelItem* items) {
    smoke.directory.AddFile("{Data}", "x");
    smoke.directory.AddFile("notes", "five!");
    CreateDirectoryA(smoke.directory.PathOf("folder").c_str(), nullptr);
    char previousDirectory[MAX_PATH];
    GetCurrentDirectoryA(sizeof(previousDirectory), previousDirectory);
    SetCurrentDirectoryA(smoke.directory.Path().c_str());
    PanelItem folder = SourceItem("folder", FILE_ATTRIBUTE_DIRECTORY);
    PanelItem dataNamed = SourceItem("{Data}", 0);
    PanelItem notes = SourceItem("notes", 0);
    struct Case {
        const char* what;
        int (*transfer)(ProbedPlugin&, HANDLE, PanelItem*);
        PanelItem* item;
        int boxAnswer;
        const char* expectedMessage;
    };
    const Case cases[] = {
        {"PutFiles of a directory",
         [](ProbedPlugin& p, HANDLE h, PanelItem* i) { return p.PutFiles(h, i, 1, 0, kQuiet); },
         &folder, -1, "PutFiles: directory items can not be copied"},
        {"PutFiles of a file named as the main data",
         [](ProbedPlugin& p, HANDLE h, PanelItem* i) { return p.PutFiles(h, i, 1, 0, kQuiet); },
         &dataNamed, -1, "PutFiles: Only writing ALTERNATE DATA streams is supported"},
        {"PutFiles of no items",
         [](ProbedPlugin& p, HANDLE h, PanelItem* i) { return p.PutFiles(h, i, 0, 0, kQuiet); },
         &notes, -1, ""},
        {"DeleteFiles of the main data",
         [](ProbedPlugin& p, HANDLE h, PanelItem* i) { return p.DeleteFiles(h, i, 1, kQuiet); },
         &items[0], -1, "DeleteFiles: Plugin can delete only Alternative data stream"},
        {"DeleteFiles of a named stream, kept when asked",
         [](ProbedPlugin& p, HANDLE h, PanelItem* i) { return p.DeleteFiles(h, i, 1, 0); },
         &items[1], kKeepButton, "Do you want to delete the stream \"notes\"?"},
    };
    for (const Case& c : cases) {
        HostSession session(smoke.plugin);
        if (c.boxAnswer >= 0)
            session.ui.AnswerMessageBox(c.boxAnswer);
        const std::string what = c.what;
        smoke.log.Equal(c.transfer(smoke.plugin, panel, c.item), 0, what + ": result");
        smoke.log.Equal(session.ShownText(), std::string(c.expectedMessage),
                        what + ": message");
        smoke.log.Equal(Listing(smoke.plugin, panel), std::string("{Data} 19 0; notes 5 1"),
                        what + ": the panel is unchanged");
    }
    SetCurrentDirectoryA(previousDirectory);
}

// The main data is copied by the system from the file itself, so it can be
// extracted under Wine; named streams cannot, Wine has none.
void CheckTransfers(SmokeContext& smoke, const std::string& report) {
    SetStandInStreams({kData, kNotes});
    HostSession session(smoke.plugin);
    HANDLE panel = OpenFile(smoke.plugin, report);
    if (!smoke.log.Check(panel != INVALID_HANDLE_VALUE, "opens"))
        return;
    CheckPanelInfo(smoke, panel, report);
    smoke.log.Equal(smoke.plugin.ProcessKey(panel, 13, 0), 0, "ProcessKey on the panel");

    PanelItem* items = nullptr;
    int count = 0;
    smoke.plugin.GetFindData(panel, &items, &count, 0);
    if (smoke.log.Equal(count, 2, "two items")) {
        const std::string out = smoke.directory.PathOf("out");
        smoke.log.Equal(smoke.plugin.GetFiles(panel, items, 1, 0, out.c_str(), kQuiet), 1,
                        "GetFiles of {Data} into a new directory");
        smoke.log.Equal(smoke.directory.Contents("out\\{Data}"), std::string(kReportText),
                        "the extracted {Data} holds the file's contents");
        CheckRefusedTransfers(smoke, panel, items);
    }
    smoke.plugin.FreeFindData(panel, items, count);
    smoke.plugin.ClosePlugin(panel);
    smoke.log.Equal(session.ShownText(), std::string(), "no message");
    smoke.log.Equal(OpenStandInWalks(), 0, "every backup walk was ended");
}

}  // namespace

void CheckPanels(SmokeContext& smoke) {
    smoke.log.Group("panel");
    if (!smoke.log.Check(InstallBackupStandIn(smoke.plugin.Module()),
                         "BackupRead and BackupSeek imports redirected"))
        return;
    const std::string report = smoke.directory.AddFile("report.txt", kReportText);
    CheckListings(smoke, report);
    smoke.log.Group("panel transfers");
    CheckTransfers(smoke, report);
}
