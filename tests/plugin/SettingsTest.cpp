// The two switches through the loaded module: what SetStartupInfo reads from
// the registry, what the settings dialog shows, and what it stores.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/dialogs/ScriptedUi.h"
#include "host/module/PluginSession.h"
#include "hostapi/MessageNumbers.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/win32.h"
#include "tests/plugin/CoreHostSupport.h"
#include "tests/plugin/TempRegistrySupport.h"

namespace {

struct StoredValue {
    DWORD type;
    std::string bytes;
};

struct Switches {
    int usedByDefault;
    int parseSecurity;
    bool operator==(const Switches& other) const {
        return usedByDefault == other.usedByDefault && parseSecurity == other.parseSecurity;
    }
};

std::ostream& operator<<(std::ostream& out, const Switches& shown) {
    return out << "{UsedByDefault " << shown.usedByDefault << ", ParseSecurity "
               << shown.parseSecurity << "}";
}

std::string Dword(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof(value));
}

enum ConfigureItem { kFrame, kUsedByDefaultBox, kParseSecurityBox, kSeparator, kConfirm, kCancel };

class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() { mvx::ClearFaults(); }
    ~SettingsTest() override { mvx::ClearFaults(); }

    // Loads the module and hands it the host's record, as the host does at start.
    void Start() {
        session = std::make_unique<PluginSession>(PluginSession::DefaultModulePath(), ui,
                                                  PluginSession::kDefaultModuleNumber,
                                                  rootKeyPath);
    }

    void Store(const char* name, DWORD type, const std::string& bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExA(key, name, 0, type,
                                 reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    bool KeyExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    std::optional<StoredValue> Stored(const char* name) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return std::nullopt;
        char data[64];
        DWORD type = REG_NONE;
        DWORD size = sizeof(data);
        LONG result = RegQueryValueExA(key, name, nullptr, &type,
                                       reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS)
            return std::nullopt;
        return StoredValue{type, std::string(data, size)};
    }

    int Configure(int answer, std::vector<ScriptedUi::ItemChange> changes = {}) {
        ui.AnswerDialog(answer, std::move(changes));
        return session->Entries().Configure(0);
    }

    // The switches as the settings dialog shows them; the dialog is cancelled.
    Switches Shown() {
        Configure(kCancel);
        const auto& items = ui.Dialogs().back().items;
        return {items[kUsedByDefaultBox].selected, items[kParseSecurityBox].selected};
    }

    const std::string rootKeyPath = "Software\\SettingsTest";
    const std::string keyPath = rootKeyPath + "\\MORVEX";
    TempRegistry registry;
    ScriptedUi ui;
    std::unique_ptr<PluginSession> session;
};

TEST_F(SettingsTest, WithoutAKeyBothSwitchesAreOnAndNothingIsWritten) {
    Start();
    EXPECT_EQ(Shown(), (Switches{1, 1}));
    EXPECT_FALSE(KeyExists());
}

TEST_F(SettingsTest, AStoredZeroTurnsASwitchOffAnyOtherNumberOn) {
    Store("UsedByDefault", REG_DWORD, Dword(0));
    Store("ParseSecurity", REG_DWORD, Dword(2));
    Start();
    EXPECT_EQ(Shown(), (Switches{0, 1}));

    // The other way round, so that each switch is known to read its own value.
    Store("UsedByDefault", REG_DWORD, Dword(0x80000000u));
    Store("ParseSecurity", REG_DWORD, Dword(0));
    session.reset();
    Start();
    EXPECT_EQ(Shown(), (Switches{1, 0}));
}

TEST_F(SettingsTest, ValuesThatAreNotFourByteNumbersGiveTheDefault) {
    // Eight bytes do not fit the plug-in's four: the default wins over the zero.
    Store("UsedByDefault", REG_QWORD, std::string(8, '\0'));
    // The type is not examined: four zero bytes of any type read as off.
    Store("ParseSecurity", REG_BINARY, std::string(4, '\0'));
    Start();
    EXPECT_EQ(Shown(), (Switches{1, 0}));
}

TEST_F(SettingsTest, EverySetStartupInfoReadsTheSwitchesOfItsOwnKey) {
    Store("UsedByDefault", REG_DWORD, Dword(0));
    Store("ParseSecurity", REG_DWORD, Dword(0));
    Start();
    ASSERT_EQ(Shown(), (Switches{0, 0}));

    ScriptedUi otherUi;
    HostBinding otherHost(otherUi, PluginSession::kDefaultModuleNumber + 1,
                          rootKeyPath + "\\Other");
    session->Entries().SetStartupInfo(&otherHost.Startup());
    otherUi.AnswerDialog(kCancel);
    session->Entries().Configure(0);
    ASSERT_EQ(otherUi.Dialogs().size(), 1u);
    EXPECT_EQ(otherUi.Dialogs()[0].items[kUsedByDefaultBox].selected, 1);
    EXPECT_EQ(otherUi.Dialogs()[0].items[kParseSecurityBox].selected, 1);
}

TEST_F(SettingsTest, TheDialogIsTheSixItemsOfTheSettings) {
    Store("UsedByDefault", REG_DWORD, Dword(0));
    Start();
    EXPECT_EQ(Configure(kCancel), 0);
    ASSERT_EQ(ui.Dialogs().size(), 1u);
    const ScriptedUi::DialogCall& dialog = ui.Dialogs()[0];
    EXPECT_EQ(dialog.x1, -1);
    EXPECT_EQ(dialog.y1, -1);
    EXPECT_EQ(dialog.x2, 76);
    EXPECT_EQ(dialog.y2, 8);
    EXPECT_TRUE(dialog.hasHelpTopic);
    EXPECT_EQ(dialog.helpTopic, "Config");

    struct Expected {
        int type, x1, y1, x2, y2, focus, selected;
        DWORD flags;
        int defaultButton;
        std::string text;
    };
    const Expected expected[] = {
        {3, 3, 1, 72, 6, 0, 0, 0, 0, MessageText(ui, kMsgSettingsTitle)},
        {8, 5, 2, 0, 0, 1, 0, 0, 0, MessageText(ui, kMsgUsedByDefault)},
        {8, 5, 3, 0, 0, 0, 1, 0, 0, MessageText(ui, kMsgParseSecurity)},
        {0, 5, 4, 0, 0, 0, 0, 0x10200, 0, ""},
        {7, 0, 5, 0, 0, 0, 0, 0x4000, 1, MessageText(ui, kMsgConfirm)},
        {7, 0, 5, 0, 0, 0, 0, 0x4000, 0, MessageText(ui, kMsgCancel)},
    };
    ASSERT_EQ(dialog.items.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        const HostDialogItem& item = dialog.items[i];
        const Expected& want = expected[i];
        SCOPED_TRACE("item " + std::to_string(i));
        EXPECT_EQ(item.type, want.type);
        EXPECT_EQ(item.x1, want.x1);
        EXPECT_EQ(item.y1, want.y1);
        EXPECT_EQ(item.x2, want.x2);
        EXPECT_EQ(item.y2, want.y2);
        EXPECT_EQ(item.focus, want.focus);
        EXPECT_EQ(item.selected, want.selected);
        EXPECT_EQ(item.flags, want.flags);
        EXPECT_EQ(item.defaultButton, want.defaultButton);
        EXPECT_EQ(item.text, want.text);
    }
}

TEST_F(SettingsTest, ConfirmingStoresBothSwitchesAndCreatesTheKey) {
    Start();
    ASSERT_FALSE(KeyExists());
    EXPECT_EQ(Configure(kConfirm), 1);
    EXPECT_TRUE(KeyExists());
    std::optional<StoredValue> used = Stored("UsedByDefault");
    std::optional<StoredValue> parse = Stored("ParseSecurity");
    ASSERT_TRUE(used && parse);
    EXPECT_EQ(used->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(used->bytes, Dword(1));
    EXPECT_EQ(parse->type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(parse->bytes, Dword(1));

    // The boxes' states become the switches, in memory at once and on disk.
    EXPECT_EQ(Configure(kConfirm, {{kUsedByDefaultBox, 0, std::nullopt},
                                   {kParseSecurityBox, 7, std::nullopt}}),
              1);
    EXPECT_EQ(Stored("UsedByDefault")->bytes, Dword(0));
    EXPECT_EQ(Stored("ParseSecurity")->bytes, Dword(1));
    EXPECT_EQ(Shown(), (Switches{0, 1}));
    session.reset();
    Start();
    EXPECT_EQ(Shown(), (Switches{0, 1}));
}

TEST_F(SettingsTest, AnyOtherEndingOfTheDialogChangesNothing) {
    Start();
    for (int ending : {int(kCancel), -1, int(kFrame), int(kUsedByDefaultBox), int(kSeparator)}) {
        SCOPED_TRACE("dialog closed by " + std::to_string(ending));
        EXPECT_EQ(Configure(ending, {{kUsedByDefaultBox, 0, std::nullopt},
                                     {kParseSecurityBox, 0, std::nullopt}}),
                  0);
        EXPECT_FALSE(KeyExists());
        EXPECT_EQ(Shown(), (Switches{1, 1}));
    }
    EXPECT_TRUE(ui.MessageBoxes().empty());
}

TEST_F(SettingsTest, ARefusedWriteIsSilentAndTheNewSwitchesStillHold) {
    Start();
    mvx::InjectFault("RegCreateKeyExA", 1, ERROR_ACCESS_DENIED);
    mvx::InjectFault("RegCreateKeyExA", 2, ERROR_ACCESS_DENIED);
    EXPECT_EQ(Configure(kConfirm, {{kParseSecurityBox, 0, std::nullopt}}), 1);
    EXPECT_EQ(mvx::CallCount("RegCreateKeyExA"), 2u);
    EXPECT_FALSE(KeyExists());
    EXPECT_TRUE(ui.MessageBoxes().empty());
    EXPECT_EQ(Shown(), (Switches{1, 0}));
}

TEST_F(SettingsTest, AnUnreadableKeyGivesTheDefaults) {
    Store("UsedByDefault", REG_DWORD, Dword(0));
    Store("ParseSecurity", REG_DWORD, Dword(0));
    mvx::InjectFault("RegOpenKeyExA", 1, ERROR_ACCESS_DENIED);
    mvx::InjectFault("RegQueryValueExA", 1, ERROR_ACCESS_DENIED);
    Start();
    // The first reading fails at the key, the second at the value.
    EXPECT_EQ(Shown(), (Switches{1, 1}));
}

}  // namespace
