// One host session of the smoke run: a recording UI of its own, handed to the
// plug-in with SetStartupInfo, which also makes the plug-in load its settings
// afresh.
#pragma once

#include <string>

#include "host/dialogs/ScriptedUi.h"
#include "host/module/HostBinding.h"
#include "tests/windows/ProbedPlugin.h"

// The host's root key; the plug-in keeps its settings in kSettingsKeyPath.
inline constexpr char kRootKeyPath[] = "Software\\MorvexSmoke";
inline constexpr char kSettingsKeyPath[] = "Software\\MorvexSmoke\\MORVEX";

class HostSession {
public:
    explicit HostSession(ProbedPlugin& plugin);

    ScriptedUi ui;

    // The text line (the one after the title) of every message box shown so
    // far, joined by " | "; empty when none was shown.
    std::string ShownText() const;

private:
    HostBinding binding;
};
