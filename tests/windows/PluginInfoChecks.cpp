#include <cstring>
#include <string>

#include "hostapi/MessageNumbers.h"
#include "tests/windows/HostSession.h"
#include "tests/windows/SmokeChecks.h"

void CheckPluginInfo(SmokeContext& smoke) {
    smoke.log.Group("GetPluginInfo");
    HostSession session(smoke.plugin);
    constexpr unsigned char kGuard = 0xA5;
    unsigned char buffer[sizeof(PluginInfo) + 8];
    // Zeros where the record goes, so a module that fills nothing is caught
    // by the checks below instead of crashing them.
    std::memset(buffer, 0, sizeof(PluginInfo));
    std::memset(buffer + sizeof(PluginInfo), kGuard, sizeof(buffer) - sizeof(PluginInfo));
    PluginInfo* info = reinterpret_cast<PluginInfo*>(buffer);
    smoke.plugin.GetPluginInfo(info);

    bool guardKept = true;
    for (size_t i = sizeof(PluginInfo); i < sizeof(buffer); ++i)
        guardKept = guardKept && buffer[i] == kGuard;
    smoke.log.Check(guardKept, "writes nothing past its 40 bytes");
    smoke.log.Equal(info->structSize, 40, "record size");
    smoke.log.Equal(info->flags | info->notUsed8 | info->notUsed12 | info->notUsed16, 0ul,
                    "flags and the three unused words are zero");
    smoke.log.Equal(info->menuNameCount, 1, "one menu entry");
    smoke.log.Equal(info->configNameCount, 1, "one configuration entry");
    // Both entries are the host's own text of message 19, not a copy of it.
    const char* entryName = session.ui.Messages().Text(kMsgPluginEntry);
    smoke.log.Check(info->menuNames != nullptr && info->menuNames[0] == entryName,
                    "the menu entry is the host's text of message 19");
    smoke.log.Check(info->configNames != nullptr && info->configNames[0] == entryName,
                    "the configuration entry is the host's text of message 19");
    smoke.log.Equal(std::string(info->commandPrefix ? info->commandPrefix : "<null>"),
                    std::string("MORVEX"), "command prefix");
    smoke.log.Check(session.ui.Events().empty(), "shows nothing");
}
