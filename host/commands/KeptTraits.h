// What a file replaced by a rename keeps, as it would had it been written in
// place as cp writes: its mode, its owner (where the process may give it) and
// its extended attributes, its alternate data streams among them.
#pragma once

#include <string>

// Gives `replacement` the traits of the existing regular file `original`. A
// stream (user.*) that cannot be carried over is a failure, `why` saying
// which; other attributes (security labels, ACLs) are carried where the
// system lets this process set them.
bool KeepTraits(const std::string& original, const std::string& replacement, std::string& why);
