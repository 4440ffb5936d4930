// A panel the plug-in opened on a file named as a user types it after the
// plug-in's prefix on the host's command line. Closed when it goes out of scope.
#pragma once

#include <iosfwd>
#include <string>

#include "host/PluginModule.h"

class CommandLinePanel {
public:
    // Opens the panel through OpenPlugin from the command line; IsOpen()
    // tells whether the plug-in gave one.
    CommandLinePanel(const PluginEntryPoints& entries, const std::string& file);
    ~CommandLinePanel();
    CommandLinePanel(const CommandLinePanel&) = delete;
    CommandLinePanel& operator=(const CommandLinePanel&) = delete;

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    // IsOpen(); when not, tells `err` that `command` cannot open the file, and
    // why, as the system's last error after the attempt says.
    bool IsOpenOrSaid(const std::string& command, std::ostream& err) const;
    HANDLE Handle() const { return handle; }

private:
    const PluginEntryPoints& entries;
    std::string file;
    HANDLE handle;
    DWORD openError;
};

// `name` as the host puts it on the plug-in's command line: in double quotes
// when it holds blanks, or when it is quoted itself, since the plug-in takes
// one enclosing pair of quotes off.
std::string QuoteForCommandLine(const std::string& name);
