#include "platform/posix/files/FindSearch.h"

#include "platform/posix/text/AnsiNames.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/Win32Functions.h"
#include "platform/posix/files/WildcardMatch.h"

#include <cerrno>
#include <cstring>

namespace mvx {

FindSearch::FindSearch() : KernelObject(kKind) {}

FindSearch::FindSearch(DirectoryStream stream, const std::string& directory,
                       const std::string& pattern, bool listsDots)
    : KernelObject(kKind),
      stream_(std::move(stream)),
      directory_(directory),
      pattern_(pattern),
      dotsLeft_(listsDots ? 2 : 0) {}

// "." and ".." come first, as NTFS lists them, whatever order readdir has.
bool FindSearch::NextName(std::string& name) {
    if (dotsLeft_ > 0) {
        name = dotsLeft_-- == 2 ? "." : "..";
        return true;
    }
    if (!stream_) {
        SetLastError(ERROR_NO_MORE_FILES);
        return false;
    }
    for (;;) {
        errno = 0;
        const struct dirent64* entry = readdir64(stream_.get());
        if (!entry) {
            SetLastError(errno != 0 ? ErrorFromErrno(errno) : ERROR_NO_MORE_FILES);
            return false;
        }
        name = entry->d_name;
        if (name != "." && name != "..") return true;
    }
}

bool FindSearch::Next(WIN32_FIND_DATAA& data) {
    std::string name, ansi;
    while (NextName(name)) {
        FileStatus status;
        if (!MatchesPattern(pattern_, name) || !QueryEntryStatus(directory_ + name, status))
            continue;
        if (!Utf8NameToAnsi(name, ansi) || ansi.size() >= MAX_PATH) continue;
        FillFindData(status, ansi, data);
        return true;
    }
    return false;
}

void FillFindData(const FileStatus& status, const std::string& ansiName, WIN32_FIND_DATAA& data) {
    std::memset(&data, 0, sizeof(data));
    data.dwFileAttributes = status.attributes;
    data.ftCreationTime = status.creationTime;
    data.ftLastAccessTime = status.lastAccessTime;
    data.ftLastWriteTime = status.lastWriteTime;
    data.nFileSizeHigh = static_cast<DWORD>(status.size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(status.size);
    std::memcpy(data.cFileName, ansiName.c_str(), ansiName.size() + 1);
}

}  // namespace mvx
