// Whether a folder tells names apart that differ only in letter case: on a
// disk that does not (ntfs-3g's ignore_case, a casefolded ext4 folder), two
// items named so land on one file.
#pragma once

#include <string>

// True when `folder` (a Linux path), or the nearest folder above it that
// exists, takes two names that differ only in letter case for one file; also
// when that cannot be found out, since then nothing may be assumed.
bool FoldsLetterCase(const std::string& folder);

// `name` with ASCII letters in lower case: the names one folder that folds
// case takes for one.
std::string FoldedName(const std::string& name);
