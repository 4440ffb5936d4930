// A panel the plug-in opened on a file named as a user types it after the
// plug-in's prefix on the host's command line. Closed when it goes out of scope.
#pragma once

#include <iosfwd>
#include <string>

#include "host/module/PluginModule.h"

class CommandLinePanel {
public:
    // Opens the panel through OpenPlugin from the command line, `file` (UTF-8)
    // given in the code page of file names; IsOpen() tells whether the plug-in
    // gave one. The error boxes the plug-in shows meanwhile are held back:
    // FailureReason() tells them.
    CommandLinePanel(const PluginEntryPoints& entries, const std::string& file);
    ~CommandLinePanel();
    CommandLinePanel(const CommandLinePanel&) = delete;
    CommandLinePanel& operator=(const CommandLinePanel&) = delete;

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    // IsOpen(); when not, tells `err` in one line that the file cannot be
    // opened, and why (an error the plug-in showed on success is told too).
    bool IsOpenOrSaid(std::ostream& err) const;
    // Why the file could not be opened, in a few words (UTF-8); empty when
    // it is open, unless the plug-in showed an error all the same.
    const std::string& FailureReason() const { return failure; }
    HANDLE Handle() const { return handle; }

private:
    // Opens `name`, in the code page of file names.
    void Open(const std::string& name);

    const PluginEntryPoints& entries;
    std::string file;
    HANDLE handle;
    std::string failure;
};

// `name` as the host puts it on the plug-in's command line: in double quotes
// when it holds blanks, or when it is quoted itself, since the plug-in takes
// one enclosing pair of quotes off.
std::string QuoteForCommandLine(const std::string& name);
