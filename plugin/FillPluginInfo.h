// The record GetPluginInfo hands the host.
#pragma once

#include "hostapi/PluginInfo.h"

// Fills all 40 bytes of `info`; both entry names are the text of message 19,
// fetched afresh at every call.
void FillPluginInfo(PluginInfo& info);
