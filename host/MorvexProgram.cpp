#include "host/MorvexProgram.h"

#include <exception>
#include <optional>
#include <ostream>

#include "host/commandline/CommandLine.h"
#include "host/commandline/HelpText.h"
#include "host/commandline/WorkingDirectory.h"
#include "host/commands/ConfigCommand.h"
#include "host/commands/GetCommand.h"
#include "host/commands/GetToPath.h"
#include "host/commands/PutAsItem.h"
#include "host/commands/PutCommand.h"
#include "host/commands/RmCommand.h"
#include "host/dialogs/TerminalUi.h"
#include "host/listing/ListCommand.h"
#include "host/listing/ScanCommand.h"
#include "host/messages/ErrorLine.h"
#include "host/messages/ExitStatus.h"
#include "host/module/PluginSession.h"
#include "host/settings/SettingsLock.h"
#include "host/text/TerminalText.h"

namespace {

// The arguments as UTF-8, each taken in the charset of the user's locale; one
// that is not text of that charset is kept as it is, since a Linux name may
// hold any bytes.
std::vector<std::string> ArgumentsAsUtf8(const std::vector<std::string>& arguments) {
    std::vector<std::string> converted;
    for (const std::string& argument : arguments) {
        std::string text;
        converted.push_back(TerminalCharset::OfLocale().Read(argument, text) ? text : argument);
    }
    return converted;
}

void WriteUsageError(const UsageError& error, std::ostream& err) {
    WriteErrorLine(err, error.what());
    const std::string help = error.Of() == Command::Help
                                 ? std::string("morvex --help")
                                 : std::string("morvex ") + CommandName(error.Of()) + " --help";
    WriteErrorLine(err, std::string("usage: ") + Synopsis(error.Of()) + " (" + help +
                            " tells more)");
}

int RunCommand(const CommandLine& line, std::istream& in, std::ostream& out, std::ostream& err,
               bool interactive, bool showProgress) {
    // Where this fails, the layer still starts from the directory it found
    // when it was loaded, which is the program's own unless it was run in
    // another's process.
    EnterLinuxWorkingDirectory();
    std::optional<SettingsLock> settingsLock;
    if (line.command == Command::Config) {
        settingsLock.emplace();
        if (!settingsLock->Failure().empty()) {
            WriteErrorLine(err, "cannot hold other runs of config off: " +
                                    settingsLock->Failure());
            return kExitFailed;
        }
    }
    TerminalUi ui(MessageFile::LoadDefault(), in, err, interactive, showProgress);
    PluginSession session(PluginSession::DefaultModulePath(), ui);
    switch (line.command) {
        case Command::Config:
            return RunConfig(session, ui, line, out, err);
        case Command::Rm:
            return RunRm(session.Entries(), ui, line, err);
        case Command::Get:
            if (!line.output.empty())
                return RunGetToPath(session.Entries(), line, out, err);
            return RunGet(session.Entries(), ui, line, err);
        case Command::Put:
            if (!line.itemName.empty())
                return RunPutAs(session.Entries(), line, in, err);
            return RunPut(session.Entries(), line, err);
        case Command::Scan:
            return RunScan(session.Entries(), line, out, err);
        default:
            return RunList(session.Entries(), line, out, err);
    }
}

}  // namespace

int RunMorvex(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
              std::ostream& err, bool interactive, bool showProgress) {
    CommandLine line;
    try {
        line = ParseCommandLine(ArgumentsAsUtf8(arguments));
    } catch (const UsageError& error) {
        WriteUsageError(error, err);
        return kExitUsage;
    }
    if (line.command == Command::Help) {
        out << HelpText(line.helpTopic);
        return kExitDone;
    }
    if (line.command == Command::Version) {
        out << VersionText();
        return kExitDone;
    }
    try {
        return RunCommand(line, in, out, err, interactive, showProgress);
    } catch (const std::exception& error) {
        WriteErrorLine(err, error.what());
        return kExitFailed;
    }
}
