// The plug-in code linked into a test program, served by a ScriptedUi as the
// host would serve the loaded module: the program's own SetStartupInfo gets
// the record of a HostBinding.
#pragma once

#include <string>

#include "host/dialogs/ScriptedUi.h"
#include "host/module/HostBinding.h"

class CoreHost {
public:
    static constexpr int kModuleNumber = 7;

    explicit CoreHost(const std::string& rootKeyPath = "Software\\TestHost");

    ScriptedUi ui;

private:
    HostBinding binding;
};

// The text of message `number` as the scripted host has it.
std::string MessageText(const ScriptedUi& ui, int number);
