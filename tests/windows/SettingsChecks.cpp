#include <string>
#include <vector>

#include "hostapi/MessageNumbers.h"
#include "tests/windows/HostSession.h"
#include "tests/windows/SmokeChecks.h"

namespace {

enum ConfigureItem { kUsedByDefaultItem = 1, kParseSecurityItem = 2 };
constexpr int kConfirmButton = 4;
constexpr int kCancelButton = 5;
constexpr char kUsedByDefault[] = "UsedByDefault";
constexpr char kParseSecurity[] = "ParseSecurity";

// A value as the registry holds it; status is the query's result.
struct StoredValue {
    LONG status;
    DWORD type;
    DWORD size;
    DWORD number;
};

StoredValue ReadStored(const char* name) {
    StoredValue stored{ERROR_FILE_NOT_FOUND, REG_NONE, 0, 0};
    HKEY key = nullptr;
    stored.status = RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key);
    if (stored.status != ERROR_SUCCESS)
        return stored;
    BYTE data[8] = {};
    stored.size = sizeof(data);
    stored.status = RegQueryValueExA(key, name, nullptr, &stored.type, data, &stored.size);
    stored.number = data[0] | data[1] << 8 | data[2] << 16 | static_cast<DWORD>(data[3]) << 24;
    RegCloseKey(key);
    return stored;
}

void StoreBoth(DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (const char* name : {kUsedByDefault, kParseSecurity})
        RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

void DeleteSettings() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
}

// The states of the two check boxes as the last dialog showed them.
std::string ShownBoxes(const ScriptedUi& ui) {
    if (ui.Dialogs().empty() || ui.Dialogs().back().items.size() < 3)
        return "<no dialog>";
    const std::vector<HostDialogItem>& items = ui.Dialogs().back().items;
    return std::to_string(items[kUsedByDefaultItem].selected) + "," +
           std::to_string(items[kParseSecurityItem].selected);
}

std::string StoredBoth() {
    std::string text;
    for (const char* name : {kUsedByDefault, kParseSecurity}) {
        StoredValue stored = ReadStored(name);
        if (!text.empty())
            text += ",";
        if (stored.status != ERROR_SUCCESS)
            text += "none";
        else if (stored.type != REG_DWORD || stored.size != 4)
            text += "type " + std::to_string(stored.type) + " size " + std::to_string(stored.size);
        else
            text += std::to_string(stored.number);
    }
    return text;
}

// SetStartupInfo reads both switches; the Configure dialog shows what it read.
void CheckLoading(SmokeContext& smoke) {
    struct Case {
        const char* what;
        bool stored;
        DWORD type;
        std::vector<BYTE> data;
        const char* expectedBoxes;
    };
    const Case cases[] = {
        {"no settings key: both on", false, REG_NONE, {}, "1,1"},
        {"REG_DWORD 0: off", true, REG_DWORD, {0, 0, 0, 0}, "0,0"},
        {"REG_DWORD 1: on", true, REG_DWORD, {1, 0, 0, 0}, "1,1"},
        {"REG_DWORD 2: any non-zero number is on", true, REG_DWORD, {2, 0, 0, 0}, "1,1"},
        {"only the top bit set: on", true, REG_DWORD, {0, 0, 0, 0x80}, "1,1"},
        {"4 bytes of REG_BINARY zeros: the type is not examined", true, REG_BINARY,
         {0, 0, 0, 0}, "0,0"},
        {"5 bytes of zeros, one past 4: the default", true, REG_BINARY, {0, 0, 0, 0, 0}, "1,1"},
        {"8 bytes of zeros: the default", true, REG_QWORD, {0, 0, 0, 0, 0, 0, 0, 0}, "1,1"},
    };
    for (const Case& c : cases) {
        DeleteSettings();
        if (c.stored)
            StoreBoth(c.type, c.data);
        const std::string before = StoredBoth();
        HostSession session(smoke.plugin);
        session.ui.AnswerDialog(kCancelButton);
        const std::string what = c.what;
        smoke.log.Equal(smoke.plugin.Configure(0), 0, what + ": cancelled");
        smoke.log.Equal(ShownBoxes(session.ui), std::string(c.expectedBoxes),
                        what + ": switches loaded");
        smoke.log.Equal(StoredBoth(), before, what + ": cancelling stores nothing");
    }
    DeleteSettings();
}

void CheckDialogShape(SmokeContext& smoke, const ScriptedUi& ui) {
    if (!smoke.log.Equal(ui.Dialogs().size(), size_t{1}, "one dialog"))
        return;
    const ScriptedUi::DialogCall& dialog = ui.Dialogs()[0];
    smoke.log.Equal(dialog.helpTopic, std::string("Config"), "help topic");
    smoke.log.Equal(std::to_string(dialog.x1) + "," + std::to_string(dialog.y1) + "," +
                        std::to_string(dialog.x2) + "," + std::to_string(dialog.y2),
                    std::string("-1,-1,76,8"), "dialog extent");
    if (!smoke.log.Equal(dialog.items.size(), size_t{6}, "six items"))
        return;
    const int texts[][2] = {{0, kMsgSettingsTitle}, {1, kMsgUsedByDefault},
                            {2, kMsgParseSecurity}, {4, kMsgConfirm}, {5, kMsgCancel}};
    for (const auto& text : texts) {
        smoke.log.Equal(std::string(dialog.items[text[0]].text),
                        std::string(ui.Messages().Text(text[1])),
                        "item " + std::to_string(text[0]) + " shows message " +
                            std::to_string(text[1]));
    }
    smoke.log.Equal(dialog.items[4].defaultButton, 1, "confirm is the default button");
}

// One session: the switches the dialog changes stay in memory between calls,
// and every confirmation writes both values.
void CheckConfiguring(SmokeContext& smoke) {
    struct Case {
        const char* what;
        int answer;
        bool changeBoxes;
        int usedByDefault;
        int parseSecurity;
        int expectedResult;
        const char* expectedShown;
        const char* expectedStored;
    };
    const Case cases[] = {
        {"confirmed with the first box cleared", kConfirmButton, true, 0, 1, 1, "1,1", "0,1"},
        {"confirmed with both boxes turned", kConfirmButton, true, 1, 0, 1, "0,1", "1,0"},
        {"cancelled with both boxes turned", kCancelButton, true, 0, 1, 0, "1,0", "1,0"},
        {"closed without a button", -1, true, 0, 1, 0, "1,0", "1,0"},
        {"closed by item 3, one before confirm", kConfirmButton - 1, true, 0, 1, 0, "1,0",
         "1,0"},
        {"confirmed unchanged", kConfirmButton, false, 0, 0, 1, "1,0", "1,0"},
    };
    DeleteSettings();
    HostSession session(smoke.plugin);
    for (const Case& c : cases) {
        std::vector<ScriptedUi::ItemChange> changes;
        if (c.changeBoxes)
            changes = {{kUsedByDefaultItem, c.usedByDefault, {}},
                       {kParseSecurityItem, c.parseSecurity, {}}};
        session.ui.AnswerDialog(c.answer, changes);
        const std::string what = c.what;
        smoke.log.Equal(smoke.plugin.Configure(0), c.expectedResult, what + ": result");
        smoke.log.Equal(ShownBoxes(session.ui), std::string(c.expectedShown),
                        what + ": boxes shown");
        smoke.log.Equal(StoredBoth(), std::string(c.expectedStored),
                        what + ": registry holds REG_DWORD values");
        if (session.ui.Dialogs().size() == 1)
            CheckDialogShape(smoke, session.ui);
    }
    HostSession reloaded(smoke.plugin);
    reloaded.ui.AnswerDialog(kCancelButton);
    smoke.plugin.Configure(0);
    smoke.log.Equal(ShownBoxes(reloaded.ui), std::string("1,0"),
                    "a new SetStartupInfo loads the stored switches");
    DeleteSettings();
}

}  // namespace

void CheckSettings(SmokeContext& smoke) {
    smoke.log.Group("settings");
    CheckLoading(smoke);
    smoke.log.Group("Configure");
    CheckConfiguring(smoke);
}
