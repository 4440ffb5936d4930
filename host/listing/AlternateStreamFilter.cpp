#include "host/listing/AlternateStreamFilter.h"

#include <sys/statfs.h>
#include <sys/xattr.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

const char kUserPrefix[] = "user.";
const char kStreamList[] = "ntfs.streams.list";
// Samba keeps it on every file of a share; it is never a stream.
const char kSambaDosAttributes[] = "user.DOSATTRIB";

// What the layer takes for an attribute that is not there.
bool MeansAbsent(int error) {
    return error == ENODATA || error == ENOTSUP;
}

// Whether the names of `list`, each ended by a NUL, hold one in user.* that
// may be a stream.
bool HoldsUserName(const char* list, size_t size) {
    const size_t prefixLength = sizeof(kUserPrefix) - 1;
    for (size_t start = 0; start < size;) {
        const char* name = list + start;
        const size_t length = strnlen(name, size - start);
        if (length >= prefixLength && std::memcmp(name, kUserPrefix, prefixLength) == 0 &&
            !(length == sizeof(kSambaDosAttributes) - 1 &&
              std::memcmp(name, kSambaDosAttributes, length) == 0))
            return true;
        start += length + 1;
    }
    return false;
}

// A list that outgrew the buffer is asked for its size and read again; one
// that changes meanwhile counts as "may have".
bool LongListHoldsUserName(const std::string& path) {
    const ssize_t size = llistxattr(path.c_str(), nullptr, 0);
    if (size <= 0)
        return size < 0 && !MeansAbsent(errno);
    std::vector<char> list(static_cast<size_t>(size));
    const ssize_t got = llistxattr(path.c_str(), list.data(), list.size());
    return got < 0 ? !MeansAbsent(errno) : HoldsUserName(list.data(), static_cast<size_t>(got));
}

// A volume that cannot be asked counts as FUSE: the look at the attribute
// then decides.
bool VolumeIsFuse(const std::string& path) {
    constexpr long kFuseMagic = 0x65735546;
    struct statfs64 volume;
    return statfs64(path.c_str(), &volume) != 0 || volume.f_type == kFuseMagic;
}

// On a FUSE volume: whether ntfs.streams.list may name a stream.
bool HasStreamList(const std::string& path) {
    const ssize_t size = lgetxattr(path.c_str(), kStreamList, nullptr, 0);
    if (size >= 0)
        return size > 0;
    return !MeansAbsent(errno);
}

// Room for most attribute lists, and not more: the kernel allocates as much
// as it is offered, for every file.
constexpr size_t kListRoom = 1024;

bool ListsUserName(const std::string& path) {
    char names[kListRoom];
    const ssize_t size = llistxattr(path.c_str(), names, sizeof names);
    if (size >= 0)
        return HoldsUserName(names, static_cast<size_t>(size));
    return errno == ERANGE ? LongListHoldsUserName(path) : !MeansAbsent(errno);
}

}  // namespace

bool AlternateStreamFilter::MayHaveAlternateStreams(const std::string& path, bool directory) {
    return ListsUserName(path) || (OnFuse(path, directory) && HasStreamList(path));
}

bool AlternateStreamFilter::OnFuse(const std::string& path, bool directory) {
    if (directory) return VolumeIsFuse(path);
    const std::string::size_type slash = path.rfind('/');
    const size_t folderLength = slash == std::string::npos ? 0 : slash + 1;
    if (folder_.size() != folderLength || path.compare(0, folderLength, folder_) != 0) {
        folder_.assign(path, 0, folderLength);
        folderOnFuse_ = VolumeIsFuse(folder_.empty() ? "." : folder_);
    }
    return folderOnFuse_;
}
