// An error box of the plug-in as the morvex program tells it: the text of the
// box without its title and button, and the system's reason where the text
// gives none.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/win32.h"

struct ErrorBox {
    std::vector<std::string> lines;  // UTF-8, between the title and the button
    DWORD systemError = NO_ERROR;    // the last error when the plug-in asked for the box

    // The lines, joined by blanks.
    std::string Text() const;
    // The system's text for systemError when the box names no more than an
    // entry point and an error number (such as "OpenPlugin #4090303"), which
    // says nothing of the cause; empty otherwise, or when the system has no
    // text for it.
    std::string SystemReason() const;
};

// One error line per line of the box, then one with the system's reason
// when there is one.
void WriteErrorBox(const ErrorBox& box, std::ostream& err);
