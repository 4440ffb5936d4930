// Whether a folder tells apart the names of the files one command writes
// there: on a disk that folds letter case (ntfs-3g's ignore_case, a casefolded
// ext4 folder), two items named so land on one file, the second written over
// the first. Which names a disk folds into one is its own rule (NTFS folds
// every letter its upcase table knows, ext4 also joins the normal forms of
// Unicode), so the folder itself is asked, with files of those names.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Two names that land on one file, by their positions.
struct NamesOnOneFile {
    size_t first;
    size_t second;
    // Empty when the folder said so; otherwise why it could not be asked,
    // and the names are only the same but for the case of ASCII letters.
    std::string untold;
};

// The first two `names` (UTF-8, each one file name) that would land on one
// file in `folder` (a Linux path; empty: not yet known, when only identical
// names are found), or none. Two identical names always do.
// A folder that folds case is asked with an empty file of each name, made in
// a probe folder of its own inside it (or inside the nearest folder above it
// that exists, whose way of folding a new folder takes on) and gone before
// this returns, also when a signal comes meanwhile. A folder that cannot be
// asked is not taken to tell case apart.
std::optional<NamesOnOneFile> FirstNamesOnOneFile(const std::string& folder,
                                                  const std::vector<std::string>& names);
