#include "platform/posix/files/LinuxPathName.h"

#include "platform/posix/files/FileStatus.h"
#include "platform/posix/files/ResolvedName.h"
#include "platform/posix/files/WindowsPath.h"

#include <strings.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace mvx {
namespace {

// The drive whose root is the root of the Linux tree.
const char kLinuxRootDrive[] = "Z:";

// The Linux path of a full path whose last component has no stream and names
// an existing entry; empty for any other.
std::string ExistingEntryOf(const std::string& full) {
    ResolvedName resolved;
    FileStatus status;
    return ResolveFullPath(full, resolved) && !resolved.hasStream &&
                   QueryEntryStatus(resolved.path, status)
               ? resolved.path
               : std::string();
}

bool NamesExistingEntry(const std::string& full) { return !ExistingEntryOf(full).empty(); }

// Whether `file`, a colon and `stream` spell a new entry of a folder that
// exists ("dir:x/new" beside a file "dir"): that is what such a name reaches.
bool SpellsEntryOfFolder(const std::string& file, std::string stream) {
    std::replace(stream.begin(), stream.end(), '\\', '/');
    const std::string whole = file + ":" + stream;
    const std::string::size_type slash = whole.find_last_of('/');
    FileStatus status;
    return slash > file.size() && QueryPathStatus(whole.substr(0, slash), status) &&
           status.isDirectory;
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
    if (!MakeUserFullPath(name.substr(0, colon), full)) return false;
    const std::string file = ExistingEntryOf(full);
    if (file.empty() || SpellsEntryOfFolder(file, stream)) return false;
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
