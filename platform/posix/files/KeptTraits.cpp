#include "platform/posix/files/KeptTraits.h"

#include "platform/posix/core/Descriptor.h"
#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/files/DescriptorWrite.h"
#include "platform/posix/files/ExtendedAttributes.h"
#include "platform/posix/files/StreamPaths.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace mvx {
namespace {

// Attributes besides the streams that make what a file is to its users; each
// is carried where this process may set it. File capabilities are not: new
// bytes must not inherit the privileges granted to the old ones. Samba's
// security.NTACL is the descriptor its clients see; ntfs-3g's system.ntfs_acl
// and system.ntfs_ea are the file's own descriptor and extended attributes.
constexpr const char* kOtherTraits[] = {"system.posix_acl_access", "security.selinux",
                                        "security.NTACL", "system.ntfs_acl", "system.ntfs_ea"};

// Large enough to keep the disk busy, small enough for a stream of any size.
constexpr std::size_t kChunkSize = 512 * 1024;

DWORD CopyAttribute(const AttributeFile& from, const std::string& to, const std::string& name) {
    bool present = false;
    std::string value;
    const DWORD error = ReadAttribute(from, name, present, value);
    if (error != NO_ERROR || !present) return error;
    if (setxattr(to.c_str(), name.c_str(), value.data(), value.size(), 0) != 0)
        return ErrorFromErrnoAt(errno, to);
    return NO_ERROR;
}

DWORD CopyUserAttributes(const AttributeFile& file, const std::string& replacement) {
    AttributeNameList list;
    DWORD error = list.Read(file);
    const std::vector<std::string_view> names = list.UserNames();
    for (std::size_t i = 0; error == NO_ERROR && i < names.size(); ++i)
        error = CopyAttribute(file, replacement, "user." + std::string(names[i]));
    return error;
}

// The bytes of one stream that is a path, copied whole in chunks: such a
// stream may be of any size.
DWORD CopyPathStream(const std::string& original, const std::string& replacement,
                     const std::string& name) {
    std::string from, to;
    DWORD error = StreamPathOf(original, name, from);
    if (error == NO_ERROR) error = StreamPathOf(replacement, name, to);
    if (error != NO_ERROR) return error;
    Descriptor source(open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!source.IsOpen()) return ErrorFromErrnoAt(errno, from);
    Descriptor copy(open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY, 0600));
    if (!copy.IsOpen()) return ErrorFromErrnoAt(errno, to);
    std::vector<char> buffer(kChunkSize);
    for (;;) {
        const ssize_t got = read(source.Get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return ErrorFromErrnoAt(errno, from);
        if (got == 0) break;
        error = WriteWhole(copy.Get(), buffer.data(), static_cast<std::size_t>(got));
        if (error != NO_ERROR) return error;
    }
    return copy.Close() == 0 ? NO_ERROR : ErrorFromErrnoAt(errno, to);
}

// Where a volume gives streams as paths (ntfs-3g's streams_interface=windows)
// a file's streams are no attributes: each is copied as the file it is.
DWORD CopyPathStreams(const AttributeFile& file, const std::string& original,
                      const std::string& replacement, bool& handled) {
    std::vector<std::string> names;
    DWORD error = NO_ERROR;
    handled = ListPathStreams(file, names, error);
    for (std::size_t i = 0; handled && error == NO_ERROR && i < names.size(); ++i)
        error = CopyPathStream(original, replacement, names[i]);
    return error;
}

}  // namespace

DWORD KeepTraits(const std::string& original, const std::string& replacement) {
    struct stat status;
    if (stat(original.c_str(), &status) != 0) return ErrorFromErrnoAt(errno, original);
    const AttributeFile file = AttributeFile::OfPath(original);
    bool pathStreams = false;
    DWORD error = CopyPathStreams(file, original, replacement, pathStreams);
    if (error == NO_ERROR && !pathStreams) error = CopyUserAttributes(file, replacement);
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
