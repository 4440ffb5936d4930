// A FindFirstFileA search behind its HANDLE: the entries of one directory
// that match a pattern, read one at a time.
#pragma once

#include "platform/posix/files/FileStatus.h"
#include "platform/posix/core/HandleTable.h"

#include <dirent.h>
#include <memory>
#include <string>

namespace mvx {

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};
using DirectoryStream = std::unique_ptr<DIR, DirectoryCloser>;

class FindSearch final : public KernelObject {
public:
    static constexpr ObjectKind kKind = ObjectKind::Find;

    // A search that had its only entry when it started (a name without
    // wildcards).
    FindSearch();

    // The entries of `directory` (a Linux path ending in '/') matching
    // `pattern`. Windows lists "." and ".." everywhere but at a drive root.
    FindSearch(DirectoryStream stream, const std::string& directory, const std::string& pattern,
               bool listsDots);

    // The next matching entry; false at the end (ERROR_NO_MORE_FILES) or
    // when the directory cannot be read. Entries that vanish while listed, or
    // whose names the ANSI page cannot hold, are passed over.
    bool Next(WIN32_FIND_DATAA& data);

private:
    bool NextName(std::string& name);

    DirectoryStream stream_;
    std::string directory_;
    std::string pattern_;
    int dotsLeft_ = 0;
};

// The find data Windows reports for an entry named `ansiName`.
void FillFindData(const FileStatus& status, const std::string& ansiName, WIN32_FIND_DATAA& data);

}  // namespace mvx
