// Whether two names reach one file, told as the system tells files apart:
// the same volume and file index, whatever the spelling. A Linux path and a
// Windows name for it, a link and its target, two hard links: each pair
// reaches one file, which a comparison of the names, or a Linux stat() of a
// Windows name, would miss.
#pragma once

#include <string>

enum class Sameness {
    kDifferent,  // both files exist and are two, or one of the names reaches none
    kSame,
    kUntold,  // a name exists, but the system cannot say which file it is
};

// `first` and `second` are Linux paths or Windows names, in UTF-8.
Sameness CompareFiles(const std::string& first, const std::string& second);
