// A panel of the loaded module on a real file of drive D: (a temporary
// directory), with real user attributes as its streams, served by a scripted
// host; drive E: is a second temporary directory for what the transfers write.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/dialogs/ScriptedUi.h"
#include "host/module/PluginSession.h"
#include "tests/platform/MappedDriveSupport.h"
#include "tests/plugin/TempRegistrySupport.h"

class StreamPanelTest : public MappedDriveTest {
protected:
    using Texts = std::vector<std::string>;
    using Streams = std::map<std::string, std::string>;

    StreamPanelTest();
    ~StreamPanelTest() override;

    // Opens a panel on a new file D:\<leaf> holding `data` and `streams`.
    void Open(const Streams& streams, const std::string& leaf = "f",
              const std::string& data = "data");
    void Close();

    std::vector<PanelItem> Items();
    Texts Names();
    // The items named, in the order given; "#N" is an item given the index N.
    std::vector<PanelItem> Selection(const Texts& names);
    // The streams of a Linux file, with their contents.
    static Streams StreamsOf(const std::string& path);
    // Every box shown since the last call, as "flags/buttons line|line...".
    Texts Boxes();

    TempDirectory target;  // drive E:
    TempRegistry registry;
    ScriptedUi ui;
    PluginSession session{PluginSession::DefaultModulePath(), ui};
    const PluginEntryPoints& entries = session.Entries();
    HANDLE panel = INVALID_HANDLE_VALUE;
    std::string path;  // the opened file

private:
    size_t boxesSeen = 0;
};
