#include "host/messages/ErrorLine.h"

#include <ostream>

#include "host/text/TerminalText.h"

void WriteErrorLine(std::ostream& err, const std::string& message) {
    // One write for the whole line: the error stream is unbuffered, and a
    // reader such as a file manager may take only the first piece it gets.
    err << "morvex: " + ForTerminal(message) + "\n";
}
