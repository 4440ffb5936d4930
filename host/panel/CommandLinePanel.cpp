#include "host/panel/CommandLinePanel.h"

#include <sys/stat.h>

#include <ostream>

#include "host/messages/ErrorBoxHold.h"
#include "host/messages/ErrorLine.h"
#include "host/messages/SystemMessage.h"
#include "host/panel/ResolvedFolderForm.h"
#include "host/text/Utf8Text.h"

namespace {

// What the plug-in's OpenPlugin is told when it is opened from the command line.
constexpr int kOpenFromCommandLine = 4;

bool IsQuoted(const std::string& name) {
    return name.size() >= 2 && name.front() == '"' && name.back() == '"';
}

// The plug-in refuses a name whose full form does not fit the system's limit,
// and the refusal leaves no error code behind.
bool IsTooLong(const std::string& name) {
    return GetFullPathNameA(name.c_str(), 0, nullptr, nullptr) > MAX_PATH;
}

// What the plug-in's error boxes said, a box that only names an error number
// told by the system's reason.
std::string ReasonOfBoxes(const std::vector<ErrorBox>& boxes) {
    std::string reason;
    for (const ErrorBox& box : boxes) {
        const std::string systemReason = box.SystemReason();
        reason += (reason.empty() ? "" : "; ") + (systemReason.empty() ? box.Text() : systemReason);
    }
    return reason;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// The plug-in trims blanks off its command line and reads '\' as a folder
// separator: a Linux name it would read as another file is handed over in a
// form it keeps (absolute and with its folder resolved, so that a leading
// blank leads nothing and ".." follows a link as Linux follows it; a folder
// without its trailing '/'), or refused with the reason. Anything else, a
// Windows name or a missing file, goes as it is, for the plug-in to judge.
bool PluginFormOf(const std::string& file, std::string& name, std::string& why) {
    name = file;
    struct stat status {};
    if (file.empty() || stat(file.c_str(), &status) != 0)
        return true;
    name = ResolvedFolderForm(file);
    while (name.size() > 1 && name.back() == '/')
        name.pop_back();
    if (name.find('\\') != std::string::npos) {
        why = "its path holds a backslash, which the plug-in reads as a folder separator";
        return false;
    }
    if (IsBlank(name.back())) {
        why = "its name ends in a blank, which the plug-in trims off";
        return false;
    }
    return true;
}

}  // namespace

std::string QuoteForCommandLine(const std::string& name) {
    if (name.find_first_of(" \t") == std::string::npos && !IsQuoted(name))
        return name;
    return '"' + name + '"';
}

CommandLinePanel::CommandLinePanel(const PluginEntryPoints& entries, const std::string& file)
    : entries(entries), file(file), handle(INVALID_HANDLE_VALUE) {
    std::string linuxName, name;
    if (!PluginFormOf(file, linuxName, failure))
        return;
    if (FromUtf8(linuxName, CP_ACP, name))
        Open(name);
    else
        failure = SystemMessageText(ERROR_NO_UNICODE_TRANSLATION);
}

CommandLinePanel::~CommandLinePanel() {
    if (IsOpen())
        entries.ClosePlugin(handle);
}

void CommandLinePanel::Open(const std::string& name) {
    const std::string text = QuoteForCommandLine(name);
    ErrorBoxHold hold;
    // A code left from before would pass for the reason of a refusal that sets none.
    SetLastError(NO_ERROR);
    handle = entries.OpenPlugin(kOpenFromCommandLine, reinterpret_cast<INT_PTR>(text.c_str()));
    const DWORD openError = GetLastError();
    if (!hold.Boxes().empty())
        failure = ReasonOfBoxes(hold.Boxes());
    else if (IsOpen())
        return;
    else if (openError != NO_ERROR)
        failure = SystemMessageText(openError);
    else if (IsTooLong(name))
        failure = SystemMessageText(ERROR_FILENAME_EXCED_RANGE);
    else if (name.empty())
        failure = "the name is empty";
    if (failure.empty())
        failure = "no such file, or its streams cannot be read";
}

bool CommandLinePanel::IsOpenOrSaid(std::ostream& err) const {
    if (!failure.empty())
        WriteErrorLine(err, IsOpen() ? failure : "cannot open " + file + ": " + failure);
    return IsOpen();
}
