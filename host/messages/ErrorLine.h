// How the morvex program tells its user what went wrong: one line on the
// error stream, after the program's name.
#pragma once

#include <iosfwd>
#include <string>

// Writes "morvex: " and `message` (UTF-8) as the terminal shows text
// (TerminalText.h), so that a name from the command line or the file system
// brings no control character along, then ends the line.
void WriteErrorLine(std::ostream& err, const std::string& message);
