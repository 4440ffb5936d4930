#include "tests/plugin/CoreHostSupport.h"

#include "hostapi/EntryPoints.h"

CoreHost::CoreHost(const std::string& rootKeyPath)
    : ui(), binding(ui, kModuleNumber, rootKeyPath) {
    SetStartupInfo(&binding.Startup());
}

std::string MessageText(const ScriptedUi& ui, int number) {
    const char* text = ui.Messages().Text(number);
    return text != nullptr ? text : "(no message)";
}
