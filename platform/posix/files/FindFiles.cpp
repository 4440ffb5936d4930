// FindFirstFileA and FindClose. A name without wildcards reports that one
// entry; wildcards in the last component search its directory.
#include "platform/posix/text/AnsiNames.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/files/FindSearch.h"
#include "platform/posix/files/LinuxPathName.h"
#include "platform/posix/files/ResolvedName.h"
#include "platform/posix/files/WildcardMatch.h"
#include "platform/posix/files/WindowsPath.h"

#include <cerrno>

namespace mvx {
namespace {

HANDLE Fail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

bool IsDriveRoot(const std::string& full) { return full.size() == 3; }

// The single entry a name without wildcards stands for. A drive root has no
// entry of its own.
HANDLE FindEntry(const std::string& name, WIN32_FIND_DATAA& data) {
    std::string full, ansi;
    ResolvedName resolved;
    MakeUserFullPath(name, full);
    if (full.back() == '\\') return Fail(ERROR_FILE_NOT_FOUND);
    if (!ResolveUtf8Name(name, resolved)) return INVALID_HANDLE_VALUE;
    FileStatus status;
    if (!QueryEntryStatus(resolved.path, status)) {
        SetLastErrorFromErrno(errno, resolved.path);
        return INVALID_HANDLE_VALUE;
    }
    if (!Utf8NameToAnsi(full.substr(full.rfind('\\') + 1), ansi) || ansi.size() >= MAX_PATH)
        return Fail(ERROR_INVALID_NAME);
    FillFindData(status, ansi, data);
    return AddHandle(std::make_shared<FindSearch>());
}

HANDLE FindMatches(const std::string& directoryName, const std::string& pattern,
                   WIN32_FIND_DATAA& data) {
    std::string full;
    ResolvedName resolved;
    MakeFullPath(directoryName, full);
    if (!ResolveFullPath(full, resolved)) return INVALID_HANDLE_VALUE;
    std::string directory = resolved.path;
    if (directory.back() != '/') directory += '/';
    DirectoryStream stream(opendir(directory.c_str()));
    if (!stream) {
        const int err = errno;
        return Fail(err == ENOENT || err == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err));
    }
    auto search =
        std::make_shared<FindSearch>(std::move(stream), directory, pattern, !IsDriveRoot(full));
    if (!search->Next(data)) {
        if (GetLastError() == ERROR_NO_MORE_FILES) SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return AddHandle(std::move(search));
}

// Splits off the last component; "D:x*" keeps "D:" as its directory, which
// names the current directory of D:. An existing Linux path names its entry,
// colons and wildcards included.
HANDLE FindFirst(LPCSTR name, WIN32_FIND_DATAA* data) {
    if (!name || !data) return Fail(ERROR_INVALID_PARAMETER);
    std::string utf8;
    if (!AnsiNameToUtf8(name, utf8)) return INVALID_HANDLE_VALUE;
    if (utf8.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    const PathKind kind = ClassifyPath(utf8);
    if (kind == PathKind::Unc || kind == PathKind::LocalDevice || kind == PathKind::RootLocalDevice)
        return Fail(ERROR_BAD_NETPATH);
    if (IsSeparator(utf8.back())) return Fail(ERROR_FILE_NOT_FOUND);
    std::string::size_type cut = utf8.find_last_of("\\/");
    cut = cut != std::string::npos ? cut + 1 : kind == PathKind::DriveRelative ? 2 : 0;
    const std::string pattern = utf8.substr(cut);
    if (IsExistingLinuxPath(utf8)) return FindEntry(utf8, *data);
    if (pattern.find(':') != std::string::npos) return Fail(ERROR_INVALID_NAME);
    if (!HasWildcards(pattern)) return FindEntry(utf8, *data);
    return FindMatches(cut == 0 ? "." : utf8.substr(0, cut), pattern, *data);
}

}  // namespace
}  // namespace mvx

extern "C" HANDLE WINAPI FindFirstFileA(LPCSTR name, LPWIN32_FIND_DATAA findData) {
    if (mvx::FaultHit("FindFirstFileA")) return INVALID_HANDLE_VALUE;
    return mvx::GuardedCall(INVALID_HANDLE_VALUE, [&] { return mvx::FindFirst(name, findData); });
}

extern "C" BOOL WINAPI FindClose(HANDLE find) {
    if (mvx::FaultHit("FindClose")) return FALSE;
    return mvx::RemoveHandle(find, mvx::ObjectKind::Find) ? TRUE : FALSE;
}
