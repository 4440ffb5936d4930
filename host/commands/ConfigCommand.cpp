#include "host/commands/ConfigCommand.h"

#include <optional>
#include <ostream>
#include <vector>

#include "host/messages/ErrorLine.h"
#include "host/messages/ExitStatus.h"
#include "host/settings/RegistryFileReport.h"
#include "host/settings/StoredSwitches.h"
#include "hostapi/DialogItemTypes.h"

namespace {

// The dialog's check boxes are the switches in this order, and its default
// button confirms it.
struct SettingsDialog {
    std::vector<int> checkBoxes;
    int confirmButton = -1;

    SettingsDialog(const HostDialogItem* items, int count) {
        for (int i = 0; i < count; ++i) {
            if (items[i].type == kDialogCheckBox)
                checkBoxes.push_back(i);
            else if (items[i].type == kDialogButton && items[i].defaultButton != 0)
                confirmButton = i;
        }
    }

    bool IsUsable() const { return checkBoxes.size() == 2 && confirmButton >= 0; }
};

struct Switches {
    bool usedByDefault;
    bool parseSecurity;
};

void Set(HostDialogItem& box, const std::optional<bool>& on) {
    if (on)
        box.selected = *on ? 1 : 0;
}

const char* OnOff(bool on) {
    return on ? "on" : "off";
}

// The plug-in stores its switches without a word when the registry refuses
// them; only reading them back tells.
bool AreStored(const Switches& chosen, const std::string& rootKeyPath) {
    const StoredSwitches stored = ReadStoredSwitches(rootKeyPath);
    return stored.usedByDefault == chosen.usedByDefault &&
           stored.parseSecurity == chosen.parseSecurity;
}

}  // namespace

int RunConfig(const PluginSession& session, TerminalUi& ui, const CommandLine& line,
              std::ostream& out, std::ostream& err) {
    if (!ReportRegistryFile(err))
        return kExitFailed;
    const bool changing = line.usedByDefault || line.parseSecurity;
    const bool asking = !changing && ui.IsInteractive();
    std::optional<Switches> shown;
    // Without a change or a terminal the dialog is only read and then
    // cancelled, so the switches are what the plug-in itself holds.
    ui.AnswerDialog([&](HostDialogItem* items, int count) {
        SettingsDialog dialog(items, count);
        if (!dialog.IsUsable())
            return -1;
        HostDialogItem& usedByDefault = items[dialog.checkBoxes[0]];
        HostDialogItem& parseSecurity = items[dialog.checkBoxes[1]];
        Set(usedByDefault, line.usedByDefault);
        Set(parseSecurity, line.parseSecurity);
        const int closedBy = asking     ? ui.AskDialog(items, count)
                             : changing ? dialog.confirmButton
                                        : -1;
        shown = Switches{usedByDefault.selected != 0, parseSecurity.selected != 0};
        return closedBy;
    });
    const int confirmed = session.Entries().Configure(0);
    if (!shown) {
        WriteErrorLine(err, "the plug-in showed no settings dialog this program knows");
        return kExitFailed;
    }
    if ((changing || asking) && confirmed != 1) {
        // A user who cancels the dialog knows that nothing changed.
        if (!asking)
            WriteErrorLine(err, "the plug-in did not take the settings");
        return kExitFailed;
    }
    if (confirmed == 1 && !AreStored(*shown, session.Startup().rootKeyPath)) {
        WriteErrorLine(err, "the settings were not saved: the registry does not hold them "
                            "afterwards (can $MORVEX_REGISTRY, by default "
                            "~/.config/morvex/registry.reg, be written?)");
        return kExitFailed;
    }
    // Each switch under the name of the option that sets it.
    out << "used-by-default: " << OnOff(shown->usedByDefault) << '\n'
        << "parse-security: " << OnOff(shown->parseSecurity) << '\n';
    return kExitDone;
}
