// The morvex program: loads the plug-in module built beside it and runs one
// command through the module's entry points, as the host would.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// `arguments` without the program's name. Questions are read from `in` only
// when `interactive`; progress notices are shown on `err` only when
// `showProgress` (it is a terminal). Returns the exit status (ExitStatus.h);
// whether `out` could be written is left to the caller, who knows when the
// output is complete.
int RunMorvex(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
              std::ostream& err, bool interactive, bool showProgress = false);
