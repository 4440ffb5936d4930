// The end of the program's standard output, checked as GNU programs check it:
// output that could not be written whole is a failure, and is told.
#pragma once

#include <iosfwd>

// Flushes standard output. When that, or a write before it, failed, tells
// `err` ("morvex: write error: REASON") and returns kExitFailed, unless
// `status` is a failure already, which its command has told; else returns
// `status`.
int CloseStandardOutput(int status, std::ostream& err);
