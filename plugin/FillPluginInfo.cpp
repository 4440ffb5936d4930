#include "plugin/FillPluginInfo.h"

#include "hostapi/HostServices.h"
#include "hostapi/MessageNumbers.h"
#include "hostapi/PluginName.h"

namespace {
// The host keeps the record's pointers, so the lists must outlive the call.
const char* menuNames[1];
const char* configNames[1];
}  // namespace

void FillPluginInfo(PluginInfo& info) {
    menuNames[0] = g_HostServices.MessageText(kMsgPluginEntry);
    configNames[0] = menuNames[0];
    info.structSize = sizeof(PluginInfo);
    info.flags = 0;
    info.notUsed8 = 0;
    info.notUsed12 = 0;
    info.notUsed16 = 0;
    info.menuNames = menuNames;
    info.menuNameCount = 1;
    info.configNames = configNames;
    info.configNameCount = 1;
    info.commandPrefix = kPluginName;
}
