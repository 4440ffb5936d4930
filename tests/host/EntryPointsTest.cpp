#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/dialogs/ScriptedUi.h"
#include "host/module/PluginSession.h"
#include "hostapi/MessageNumbers.h"

namespace {

class EntryPointsTest : public ::testing::Test {
protected:
    ScriptedUi ui;
    PluginSession session{PluginSession::DefaultModulePath(), ui};
    const PluginEntryPoints& entry = session.Entries();
};

TEST_F(EntryPointsTest, GetPluginInfoFillsExactlyItsFortyBytes) {
    constexpr unsigned char kGuard = 0xA5;
    unsigned char buffer[sizeof(PluginInfo) + 64];
    std::memset(buffer, kGuard, sizeof(buffer));
    PluginInfo* info = reinterpret_cast<PluginInfo*>(buffer);
    entry.GetPluginInfo(info);
    for (size_t i = sizeof(PluginInfo); i < sizeof(buffer); ++i)
        ASSERT_EQ(buffer[i], kGuard) << "byte " << i << " after the record was written";
    EXPECT_EQ(info->structSize, 40);
    EXPECT_EQ(info->flags, 0u);
    EXPECT_EQ(info->notUsed8, 0u);
    EXPECT_EQ(info->notUsed12, 0u);
    EXPECT_EQ(info->notUsed16, 0u);
    EXPECT_STREQ(info->commandPrefix, "MORVEX");
    // Both entries are the host's own text of message 19, not a copy of it.
    const char* entryName = ui.Messages().Text(kMsgPluginEntry);
    ASSERT_EQ(info->menuNameCount, 1);
    ASSERT_EQ(info->configNameCount, 1);
    EXPECT_EQ(info->menuNames[0], entryName);
    EXPECT_EQ(info->configNames[0], entryName);
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(EntryPointsTest, TheEntryNamesFollowTheHostAtEveryCall) {
    PluginInfo first;
    entry.GetPluginInfo(&first);
    ASSERT_STREQ(first.menuNames[0], ui.Messages().Text(kMsgPluginEntry));

    // Another host, with its own copy of the texts, takes the module over.
    ScriptedUi otherUi;
    HostBinding otherHost(otherUi, PluginSession::kDefaultModuleNumber + 1, "Software\\Other");
    entry.SetStartupInfo(&otherHost.Startup());
    PluginInfo second;
    entry.GetPluginInfo(&second);
    EXPECT_EQ(second.menuNames[0], otherUi.Messages().Text(kMsgPluginEntry));
    EXPECT_EQ(second.configNames[0], otherUi.Messages().Text(kMsgPluginEntry));
}

TEST_F(EntryPointsTest, ProcessKeyLeavesEveryKeyToTheHost) {
    EXPECT_EQ(entry.ProcessKey(nullptr, 0, 0), 0);
    EXPECT_EQ(entry.ProcessKey(INVALID_HANDLE_VALUE, 13, 0), 0);
    EXPECT_EQ(entry.ProcessKey(reinterpret_cast<HANDLE>(0x1234), -1, 0xFFFFFFFFu), 0);
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(EntryPointsTest, ClosingTheNullPanelDoesNothing) {
    entry.ClosePlugin(nullptr);
    EXPECT_TRUE(ui.Events().empty());
}

TEST_F(EntryPointsTest, OpeningNothingGivesNoPanelAndNoMessage) {
    EXPECT_EQ(entry.OpenFilePlugin(nullptr, nullptr, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(entry.OpenPlugin(2, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(entry.OpenPlugin(3, 0), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(ui.Events().empty());
}

}  // namespace
