#include "host/MorvexProgram.h"

#include <exception>
#include <ostream>

#include "host/CommandLine.h"
#include "host/ConfigCommand.h"
#include "host/ExitStatus.h"
#include "host/GetCommand.h"
#include "host/ListCommand.h"
#include "host/PluginSession.h"
#include "host/PutCommand.h"
#include "host/RmCommand.h"
#include "host/TerminalUi.h"
#include "host/WorkingDirectory.h"

namespace {

int RunCommand(const CommandLine& line, std::istream& in, std::ostream& out, std::ostream& err,
               bool interactive) {
    // Where this fails, the layer still starts from the directory it found
    // when it was loaded, which is the program's own unless it was run in
    // another's process.
    EnterLinuxWorkingDirectory();
    TerminalUi ui(MessageFile::LoadDefault(), in, err, interactive);
    PluginSession session(PluginSession::DefaultModulePath(), ui);
    switch (line.command) {
        case Command::Config:
            return RunConfig(session.Entries(), ui, line, out, err);
        case Command::Rm:
            return RunRm(session.Entries(), ui, line, err);
        case Command::Get:
            return RunGet(session.Entries(), ui, line, err);
        case Command::Put:
            return RunPut(session.Entries(), line, err);
        default:
            return RunList(session.Entries(), line, out, err);
    }
}

}  // namespace

int RunMorvex(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
              std::ostream& err, bool interactive) {
    CommandLine line;
    try {
        line = ParseCommandLine(arguments);
    } catch (const UsageError& error) {
        err << error.what() << "\n\n" << kUsageText;
        return kExitUsage;
    }
    if (line.command == Command::Help) {
        out << kUsageText;
        return kExitDone;
    }
    try {
        return RunCommand(line, in, out, err, interactive);
    } catch (const std::exception& error) {
        err << "morvex: " << error.what() << '\n';
        return kExitFailed;
    }
}
