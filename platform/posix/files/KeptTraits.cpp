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

// A file held by what its name reaches now, never through a link at the
// name: the traits are read from and given to the files held, so a name
// swapped for a link meanwhile (the folder may be others' to write) cannot
// lead a chown or a chmod, often root's, to another file. The path
// /proc/self/fd/N reaches the held file itself.
class HeldFile {
public:
    explicit HeldFile(const std::string& path)
        : fd_(open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC)),
          path_("/proc/self/fd/" + std::to_string(fd_.Get())) {}

    // The file's status; false with errno set when nothing is held.
    bool Status(struct stat& status) const {
        return fd_.IsOpen() && fstat(fd_.Get(), &status) == 0;
    }
    const std::string& Path() const { return path_; }

private:
    Descriptor fd_;
    std::string path_;
};

}  // namespace

DWORD KeepTraits(const std::string& original, const std::string& replacement) {
    const HeldFile kept(original), made(replacement);
    struct stat status, madeStatus;
    if (!kept.Status(status)) return ErrorFromErrnoAt(errno, original);
    if (!made.Status(madeStatus)) return ErrorFromErrnoAt(errno, replacement);
    // A link is replaced as a new file would be, and lends nothing; the
    // replacement is the regular file made for it, or something is amiss.
    if (S_ISLNK(status.st_mode)) return NO_ERROR;
    if (!S_ISREG(madeStatus.st_mode)) return ERROR_ACCESS_DENIED;
    const AttributeFile file = AttributeFile::OfPath(kept.Path());
    bool pathStreams = false;
    DWORD error = CopyPathStreams(file, kept.Path(), made.Path(), pathStreams);
    if (error == NO_ERROR && !pathStreams) error = CopyUserAttributes(file, made.Path());
    if (error != NO_ERROR) return error;
    for (const char* name : kOtherTraits) (void)CopyAttribute(file, made.Path(), name);
    // Giving the file away is a privilege; without it, the copy stays the
    // copier's. The mode comes last, since a change of owner clears setuid.
    if (status.st_uid != geteuid() || status.st_gid != getegid())
        (void)!chown(made.Path().c_str(), status.st_uid, status.st_gid);
    if (chmod(made.Path().c_str(), status.st_mode & 07777) != 0)
        return ErrorFromErrnoAt(errno, replacement);
    return NO_ERROR;
}

}  // namespace mvx
