#include "host/CommandLinePanel.h"

#include <ostream>

#include "host/SystemMessage.h"

namespace {

// What the plug-in's OpenPlugin is told when it is opened from the command line.
constexpr int kOpenFromCommandLine = 4;

bool IsQuoted(const std::string& name) {
    return name.size() >= 2 && name.front() == '"' && name.back() == '"';
}

}  // namespace

std::string QuoteForCommandLine(const std::string& name) {
    if (name.find_first_of(" \t") == std::string::npos && !IsQuoted(name))
        return name;
    return '"' + name + '"';
}

CommandLinePanel::CommandLinePanel(const PluginEntryPoints& entries, const std::string& file)
    : entries(entries), file(file), handle(INVALID_HANDLE_VALUE), openError(NO_ERROR) {
    std::string text = QuoteForCommandLine(file);
    SetLastError(NO_ERROR);
    handle = entries.OpenPlugin(kOpenFromCommandLine, reinterpret_cast<INT_PTR>(text.c_str()));
    openError = GetLastError();
}

CommandLinePanel::~CommandLinePanel() {
    if (IsOpen())
        entries.ClosePlugin(handle);
}

bool CommandLinePanel::IsOpenOrSaid(const std::string& command, std::ostream& err) const {
    if (IsOpen())
        return true;
    const std::string reason = openError == NO_ERROR ? "" : SystemMessageText(openError);
    err << "morvex " << command << ": cannot open " << file;
    if (reason.empty())
        err << " (no such file, or its streams cannot be read)\n";
    else
        err << ": " << reason << "\n";
    return false;
}
