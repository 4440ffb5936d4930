// The smoke host's groups of checks. Each group drives the loaded DLL through
// its entry points, as the host would, and records what it finds in the log.
#pragma once

#include "tests/windows/CheckLog.h"
#include "tests/windows/ProbedPlugin.h"
#include "tests/windows/SmokeDirectory.h"

struct SmokeContext {
    ProbedPlugin& plugin;
    CheckLog& log;
    const SmokeDirectory& directory;
};

void CheckStackProbe(CheckLog& log);
void CheckPluginInfo(SmokeContext& smoke);
void CheckSettings(SmokeContext& smoke);
void CheckOpensWithoutPanel(SmokeContext& smoke);
void CheckPanels(SmokeContext& smoke);
void CheckEntryPointStacks(SmokeContext& smoke);
