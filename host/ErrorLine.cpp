#include "host/ErrorLine.h"

#include <ostream>

#include "host/TerminalText.h"

void WriteErrorLine(std::ostream& err, const std::string& message) {
    err << "morvex: " << ForTerminal(message) << '\n';
}
