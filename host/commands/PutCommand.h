// morvex put: writes files into one file as its alternate data streams
// through the plug-in's PutFiles, each handed over as a panel would: by its
// base name, from its own folder as the current directory. Files named as get
// names the data and the descriptor of a file ("{Data}") are passed over with
// a notice, so that a glob of what get wrote puts the streams back.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/commandline/CommandLine.h"
#include "host/module/PluginModule.h"

// Returns the program's exit status.
int RunPut(const PluginEntryPoints& entries, const CommandLine& line, std::ostream& err);

// A file to be written as a stream: where it is (a Linux path or a Windows
// name, UTF-8), and how messages name it.
struct SourceFile {
    std::string path;
    std::string shown;
};

// Writes `sources` into the open `panel` item by item, once every one of
// them is found readable; one that fails is told and the others are written
// all the same. `move` deletes the sources once all are written, and never
// the opened `file` itself; `yes` asks nothing. Returns the exit status.
int WriteSources(const PluginEntryPoints& entries, HANDLE panel, const std::string& file,
                 const std::vector<SourceFile>& sources, bool move, bool yes,
                 std::ostream& err);

// False, with the reason told, when one of `sources` is the opened `file`
// itself, or cannot be told apart from it: moving it in would delete the file
// with every stream it was just given.
bool NoSourceIsTheFile(const std::vector<SourceFile>& sources, const std::string& file,
                       std::ostream& err);
