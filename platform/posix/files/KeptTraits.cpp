#include "platform/posix/files/KeptTraits.h"

#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/files/ExtendedAttributes.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace mvx {
namespace {

// Attributes besides the streams that make what a file is to its users; each
// is carried where this process may set it. File capabilities are not: new
// bytes must not inherit the privileges granted to the old ones. Samba's
// security.NTACL is the descriptor its clients see.
constexpr const char* kOtherTraits[] = {"system.posix_acl_access", "security.selinux",
                                        "security.NTACL"};

DWORD CopyAttribute(const AttributeFile& from, const std::string& to, const std::string& name) {
    bool present = false;
    std::string value;
    const DWORD error = ReadAttribute(from, name, present, value);
    if (error != NO_ERROR || !present) return error;
    if (setxattr(to.c_str(), name.c_str(), value.data(), value.size(), 0) != 0)
        return ErrorFromErrnoAt(errno, to);
    return NO_ERROR;
}

}  // namespace

DWORD KeepTraits(const std::string& original, const std::string& replacement) {
    struct stat status;
    if (stat(original.c_str(), &status) != 0) return ErrorFromErrnoAt(errno, original);
    const AttributeFile file = AttributeFile::OfPath(original);
    AttributeNameList list;
    DWORD error = list.Read(file);
    const std::vector<std::string_view> names = list.UserNames();
    for (std::size_t i = 0; error == NO_ERROR && i < names.size(); ++i)
        error = CopyAttribute(file, replacement, "user." + std::string(names[i]));
    if (error != NO_ERROR) return error;
    for (const char* name : kOtherTraits) (void)CopyAttribute(file, replacement, name);
    // Giving the file away is a privilege; without it, the copy stays the
    // copier's. The mode comes last, since a change of owner clears setuid.
    if (status.st_uid != geteuid() || status.st_gid != getegid())
        (void)!chown(replacement.c_str(), status.st_uid, status.st_gid);
    if (chmod(replacement.c_str(), status.st_mode & 07777) != 0)
        return ErrorFromErrnoAt(errno, replacement);
    return NO_ERROR;
}

}  // namespace mvx
