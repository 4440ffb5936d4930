// What the layer found in the registry file that holds the switches, told to
// the user of config: each line it could not read, and why the file cannot be
// read at all when it cannot.
#pragma once

#include <iosfwd>

// Writes one error line per line of the file that was not read
// ("PATH:LINE: what"). Returns false, after a line that says why, when the
// file cannot be read at all: then the switches are not the file's, and no
// change can be saved.
bool ReportRegistryFile(std::ostream& err);
