#include "platform/posix/files/ResolvedName.h"
#include "platform/posix/core/Failure.h"

#include "platform/posix/text/AnsiNames.h"
#include "platform/posix/files/DriveMap.h"
#include "platform/posix/files/LinuxPathName.h"
#include "platform/posix/Win32Functions.h"
#include "platform/posix/files/WindowsPath.h"

#include "platform/posix/files/FileStatus.h"

#include <strings.h>

#include <utility>

namespace mvx {
namespace {

// "file:stream", "file:stream:$DATA" or "file::$DATA" (the file's own data).
// A colon anywhere but in the last component is not a valid name.
bool SplitStream(std::string& rest, ResolvedName& out) {
    const std::string::size_type colon = rest.find(':');
    if (colon == std::string::npos) return true;
    if (rest.find('\\', colon) != std::string::npos) return Fail(ERROR_INVALID_NAME);
    std::string stream = rest.substr(colon + 1);
    const std::string::size_type typeColon = stream.find(':');
    if (typeColon != std::string::npos) {
        if (strcasecmp(stream.c_str() + typeColon + 1, "$DATA") != 0)
            return Fail(ERROR_INVALID_NAME);
        stream.erase(typeColon);
    } else if (stream.empty()) {
        return Fail(ERROR_INVALID_NAME);
    }
    rest.erase(colon);
    out.stream = stream;
    out.hasStream = !stream.empty();
    return true;
}

std::string WithSlashes(std::string text) {
    for (char& c : text)
        if (c == '\\') c = '/';
    return text;
}

// Linux holds stream names with separators, colons, dots and blanks, which
// the Windows reading would change: after a file that exists, the stream is
// the text as it stands (MakeUserFullPath has dropped a ":$DATA" type). An
// entry spelt as the whole name keeps the Windows reading, which never takes
// a separator after the colon for part of a stream's name.
bool SplitLiteralStream(const std::string& root, const std::string& rest, ResolvedName& out) {
    const std::string::size_type colon = rest.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == rest.size()) return false;
    const std::string path = root + "/" + WithSlashes(rest.substr(0, colon));
    const std::string whole = root + "/" + WithSlashes(rest);
    FileStatus status;
    if (!QueryEntryStatus(path, status) || QueryEntryStatus(whole, status)) return false;
    // Nor is it a stream where the whole spelling names a new entry of a
    // folder that exists ("dir:x/new" beside a file "dir").
    const std::string::size_type slash = whole.find_last_of('/');
    if (slash > path.size() && QueryPathStatus(whole.substr(0, slash), status) &&
        status.isDirectory)
        return false;
    out.path = path;
    out.stream = rest.substr(colon + 1);
    out.hasStream = true;
    return true;
}

}  // namespace

bool ResolveFullPath(const std::string& full, ResolvedName& out) {
    if (ClassifyPath(full) != PathKind::DriveAbsolute) return Fail(ERROR_BAD_NETPATH);
    std::string root;
    if (!DriveRoot(full[0], root)) return Fail(ERROR_PATH_NOT_FOUND);
    std::string rest = full.substr(3);
    ResolvedName resolved;
    if (!SplitLiteralStream(root, rest, resolved)) {
        if (!SplitStream(rest, resolved)) return false;
        resolved.path = root + "/" + WithSlashes(rest);
    }
    out = std::move(resolved);
    return true;
}

bool ResolveUtf8Name(const std::string& name, ResolvedName& out) {
    if (name.empty()) return Fail(ERROR_PATH_NOT_FOUND);
    const PathKind kind = ClassifyPath(name);
    if (kind == PathKind::Unc || kind == PathKind::LocalDevice || kind == PathKind::RootLocalDevice)
        return Fail(ERROR_BAD_NETPATH);
    if (IsExistingLinuxPath(name)) {
        out = ResolvedName();
        out.path = name;
        return true;
    }
    std::string full;
    return MakeUserFullPath(name, full) && ResolveFullPath(full, out);
}

bool ResolveName(LPCSTR name, ResolvedName& out) {
    if (!name) return Fail(ERROR_INVALID_PARAMETER);
    std::string utf8;
    return AnsiNameToUtf8(name, utf8) && ResolveUtf8Name(utf8, out);
}

}  // namespace mvx
