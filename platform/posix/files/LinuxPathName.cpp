#include "platform/posix/files/LinuxPathName.h"

#include "platform/posix/files/FileStatus.h"
#include "platform/posix/files/ResolvedName.h"
#include "platform/posix/files/WindowsPath.h"

#include <strings.h>

#include <climits>
#include <cstdlib>

namespace mvx {
namespace {

// The drive whose root is the root of the Linux tree.
const char kLinuxRootDrive[] = "Z:";

// A full path whose last component has no stream and names an existing entry.
bool NamesExistingEntry(const std::string& full) {
    ResolvedName resolved;
    FileStatus status;
    return ResolveFullPath(full, resolved) && !resolved.hasStream &&
           QueryEntryStatus(resolved.path, status);
}

const char kDataType[] = ":$DATA";

// `name` as a file that exists, a colon and the stream as it stands, which
// names the file's own data when nothing but the type follows the colon.
// The first colon after a drive's ends the file part.
bool MakeLiteralStreamPath(const std::string& name, std::string& full) {
    const std::string::size_type colon = name.find(':', 2);
    if (colon == std::string::npos || colon + 1 == name.size()) return false;
    std::string stream = name.substr(colon + 1);
    const std::string::size_type typeLength = sizeof kDataType - 1;
    if (stream.size() >= typeLength &&
        strcasecmp(stream.c_str() + stream.size() - typeLength, kDataType) == 0)
        stream.erase(stream.size() - typeLength);
    if (!MakeUserFullPath(name.substr(0, colon), full) || !NamesExistingEntry(full)) return false;
    if (!stream.empty()) full += ":" + stream;
    return true;
}

}  // namespace

bool CanonicalLinuxPath(const std::string& path, std::string& canonical) {
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved)) return false;
    canonical = resolved;
    return true;
}

bool IsExistingLinuxPath(const std::string& name) {
    FileStatus status;
    return !name.empty() && name[0] == '/' && name.find('\\') == std::string::npos &&
           QueryEntryStatus(name, status);
}

bool MakeUserFullPath(const std::string& name, std::string& full) {
    // Rooted at Z: whichever drive is current.
    if (IsExistingLinuxPath(name))
        return MakeFullPath(kLinuxRootDrive + name, full, TrailingDots::Kept);
    if (MakeLiteralStreamPath(name, full)) return true;
    if (!MakeFullPath(name, full)) return false;
    std::string literal;
    if (MakeFullPath(name, literal, TrailingDots::Kept) && literal != full &&
        NamesExistingEntry(literal))
        full = literal;
    return true;
}

}  // namespace mvx
