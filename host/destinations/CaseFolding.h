// Whether a folder tells apart the names of the files one command writes
// there: on a disk that folds letter case (ntfs-3g's ignore_case, a casefolded
// ext4 folder), two items named so land on one file, the second written over
// the first. Which names a disk folds into one is its own rule (NTFS folds
// every letter it has an upper case for, ext4 also joins the normal forms of
// Unicode), so the folder itself is asked, with files of those names.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// True when `folder` (a Linux path), or the nearest folder above it that
// exists, takes two names that differ only in letter case for one file; also
// when that cannot be found out, since then nothing may be assumed.
bool FoldsLetterCase(const std::string& folder);

// `name` with ASCII letters in lower case: the names one folder that folds
// case takes for one, as far as can be told without asking it.
std::string FoldedName(const std::string& name);

// The positions of the first two `names` (UTF-8, each one file name) that
// would land on one file in `folder`, or none. A folder that folds case is
// asked with an empty file of each name, made in a probe folder of its own
// inside it (or inside the nearest folder above it that exists, whose way of
// folding a new folder takes on) and gone before this returns, also when a
// signal comes meanwhile. Where no probe can be made, names are compared as
// FoldedName gives them.
std::optional<std::pair<size_t, size_t>> FirstNamesOnOneFile(
    const std::string& folder, const std::vector<std::string>& names);
