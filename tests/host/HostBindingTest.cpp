#include "host/module/HostBinding.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "host/dialogs/ScriptedUi.h"
#include "host/module/BuildLocation.h"
#include "host/module/PluginModule.h"

namespace {

std::string ErrorOf(const std::string& modulePath) {
    try {
        PluginModule module(modulePath);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "(loaded)";
}

TEST(PluginModule, BindsAllThirteenEntryPointsOfTheBuiltModule) {
    PluginModule module(FindBuildFile("morvex.so"));
    const PluginEntryPoints& entry = module.Entries();
    const void* bound[] = {
        reinterpret_cast<const void*>(entry.SetStartupInfo),
        reinterpret_cast<const void*>(entry.GetPluginInfo),
        reinterpret_cast<const void*>(entry.OpenFilePlugin),
        reinterpret_cast<const void*>(entry.OpenPlugin),
        reinterpret_cast<const void*>(entry.ClosePlugin),
        reinterpret_cast<const void*>(entry.GetFindData),
        reinterpret_cast<const void*>(entry.FreeFindData),
        reinterpret_cast<const void*>(entry.GetOpenPluginInfo),
        reinterpret_cast<const void*>(entry.GetFiles),
        reinterpret_cast<const void*>(entry.PutFiles),
        reinterpret_cast<const void*>(entry.DeleteFiles),
        reinterpret_cast<const void*>(entry.ProcessKey),
        reinterpret_cast<const void*>(entry.Configure),
    };
    static_assert(sizeof(bound) == sizeof(PluginEntryPoints), "every entry point is checked");
    for (const void* function : bound)
        EXPECT_NE(function, nullptr);
}

TEST(PluginModule, AModuleWithoutTheEntryPointsIsRefusedByName) {
    // The Win32 layer is a loadable library that exports none of them.
    std::string error = ErrorOf(FindBuildFile("platform/posix/libmorvex_win32.so"));
    EXPECT_NE(error.find("has no entry point SetStartupInfo"), std::string::npos) << error;
    EXPECT_NE(error.find("libmorvex_win32.so"), std::string::npos) << error;
}

TEST(PluginModule, AMissingFileIsRefusedWithItsPath) {
    std::string error = ErrorOf("/nonexistent/morvex.so");
    EXPECT_NE(error.find("cannot load plug-in module /nonexistent/morvex.so"), std::string::npos)
        << error;
}

class HostBindingTest : public ::testing::Test {
protected:
    ScriptedUi first;
    ScriptedUi second;
};

TEST_F(HostBindingTest, ServicesReachTheUiOfTheirModuleNumber) {
    HostBinding one(first, 1, "Software\\One");
    HostBinding two(second, 2, "Software\\Two");
    EXPECT_EQ(one.Startup().moduleNumber, 1);
    EXPECT_STREQ(one.Startup().rootKeyPath, "Software\\One");
    EXPECT_STREQ(two.Startup().rootKeyPath, "Software\\Two");

    const char* lines[] = {"title", "text", "OK"};
    one.Startup().HostMessageBox(1, 1, nullptr, lines, 3, 1);
    two.Startup().HostMessageBox(2, 0, "Topic", lines, 2, 0);
    ASSERT_EQ(first.MessageBoxes().size(), 1u);
    ASSERT_EQ(second.MessageBoxes().size(), 1u);
    EXPECT_EQ(first.MessageBoxes()[0].lines, (std::vector<std::string>{"title", "text", "OK"}));
    EXPECT_EQ(second.MessageBoxes()[0].helpTopic, "Topic");
    EXPECT_EQ(two.Startup().HostMessageText(2, 19), second.Messages().Text(19));
}

TEST_F(HostBindingTest, ServicesWithoutModuleNumberReachTheLatestBinding) {
    HostBinding one(first, 1, "Software");
    HostBinding two(second, 2, "Software");
    HANDLE screen = one.Startup().HostScreenSave(0, 0, -1, -1);
    one.Startup().HostScreenRestore(screen);
    HostPanelInfo info;
    one.Startup().HostPanelControl(INVALID_HANDLE_VALUE, 1, &info);
    EXPECT_TRUE(first.Events().empty());
    EXPECT_EQ(second.Events().size(), 3u);
}

TEST_F(HostBindingTest, AModuleNumberServesOneUiAtATime) {
    HostBinding one(first, 1, "Software");
    EXPECT_THROW(HostBinding(second, 1, "Software"), std::invalid_argument);
    // The refused binding left the first one in place.
    EXPECT_EQ(one.Startup().HostMessageText(1, 0), first.Messages().Text(0));
}

TEST_F(HostBindingTest, AServiceCalledAfterItsBindingEndedIsRefused) {
    StartupInfo kept;
    {
        HostBinding one(first, 1, "Software");
        kept = one.Startup();
    }
    const char* lines[] = {"title", "question", "Yes", "No"};
    EXPECT_EQ(kept.HostMessageText(1, 0), nullptr);
    EXPECT_EQ(kept.HostMessageBox(1, 0, nullptr, lines, 4, 2), -1);
    HostDialogItem item = {};
    EXPECT_EQ(kept.HostDialog(1, -1, -1, 76, 8, nullptr, &item, 1), -1);
    EXPECT_EQ(kept.HostPanelControl(INVALID_HANDLE_VALUE, 1, nullptr), 0);
    EXPECT_EQ(kept.HostScreenSave(0, 0, -1, -1), nullptr);
    kept.HostScreenRestore(nullptr);
    EXPECT_TRUE(first.Events().empty());
}

}  // namespace
