#include "host/ConfigCommand.h"

#include <optional>
#include <ostream>
#include <vector>

#include "host/ExitStatus.h"
#include "plugin/DialogItemTypes.h"

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

}  // namespace

int RunConfig(const PluginEntryPoints& entries, TerminalUi& ui, const CommandLine& line,
              std::ostream& out, std::ostream& err) {
    const bool changing = line.usedByDefault || line.parseSecurity;
    std::optional<Switches> shown;
    // Without a change the dialog is only read and then cancelled, so the
    // switches are what the plug-in itself holds, not a second reading of
    // where it keeps them.
    ui.AnswerDialog([&](HostDialogItem* items, int count) {
        SettingsDialog dialog(items, count);
        if (!dialog.IsUsable())
            return -1;
        HostDialogItem& usedByDefault = items[dialog.checkBoxes[0]];
        HostDialogItem& parseSecurity = items[dialog.checkBoxes[1]];
        Set(usedByDefault, line.usedByDefault);
        Set(parseSecurity, line.parseSecurity);
        shown = Switches{usedByDefault.selected != 0, parseSecurity.selected != 0};
        return changing ? dialog.confirmButton : -1;
    });
    int confirmed = entries.Configure(0);
    if (!shown) {
        err << "morvex config: the plug-in showed no settings dialog this program knows\n";
        return kExitFailed;
    }
    if (changing && confirmed != 1) {
        err << "morvex config: the plug-in did not take the settings\n";
        return kExitFailed;
    }
    out << "UsedByDefault: " << OnOff(shown->usedByDefault) << '\n'
        << "ParseSecurity: " << OnOff(shown->parseSecurity) << '\n';
    out.flush();
    return out ? kExitDone : kExitFailed;
}
