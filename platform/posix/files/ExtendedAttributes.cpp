#include "platform/posix/files/ExtendedAttributes.h"

#include "platform/posix/core/ErrnoMapping.h"

#include <cerrno>
#include <linux/limits.h>
#include <sys/xattr.h>

namespace mvx {
namespace {

// Values and lists that change while they are read are asked for again this
// often before the change is reported.
constexpr int kAttempts = 3;

const std::string kUserPrefix = "user.";

bool MeansAbsent(int err) { return err == ENODATA || err == ENOTSUP; }

void SplitUserNames(const std::string& list, std::vector<std::string>& names) {
    names.clear();
    std::string::size_type start = 0;
    while (start < list.size()) {
        std::string::size_type end = list.find('\0', start);
        if (end == std::string::npos) end = list.size();
        if (list.compare(start, kUserPrefix.size(), kUserPrefix) == 0)
            names.push_back(
                list.substr(start + kUserPrefix.size(), end - start - kUserPrefix.size()));
        start = end + 1;
    }
}

// ntfs-3g answers a value that outgrew the buffer with EIO; only a second
// look at the size tells that apart from a real I/O error.
bool SizeChangedFrom(const AttributeFile& file, const std::string& name, size_t expected) {
    bool present = false;
    size_t now = 0;
    return QueryAttributeSize(file, name, present, now) == NO_ERROR &&
           (!present || now != expected);
}

DWORD ReadEmptyValue(const AttributeFile& file, const std::string& name, std::string& value) {
    bool present = false;
    size_t now = 0;
    const DWORD error = QueryAttributeSize(file, name, present, now);
    if (error != NO_ERROR) return error;
    if (!present || now != 0) return kAttributeChangedError;
    value.clear();
    return NO_ERROR;
}

}  // namespace

AttributeFile AttributeFile::OfDescriptor(int fd) {
    AttributeFile file;
    file.fd_ = fd;
    return file;
}

AttributeFile AttributeFile::OfPath(const std::string& path) {
    AttributeFile file;
    file.path_ = path;
    return file;
}

ssize_t AttributeFile::Get(const std::string& name, void* value, size_t size) const {
    return fd_ >= 0 ? fgetxattr(fd_, name.c_str(), value, size)
                    : getxattr(path_.c_str(), name.c_str(), value, size);
}

ssize_t AttributeFile::List(char* names, size_t size) const {
    return fd_ >= 0 ? flistxattr(fd_, names, size) : listxattr(path_.c_str(), names, size);
}

int AttributeFile::Status(struct stat64& status) const {
    return fd_ >= 0 ? fstat64(fd_, &status) : stat64(path_.c_str(), &status);
}

DWORD AttributeFile::ErrorOf(int err) const {
    return path_.empty() ? ErrorFromErrno(err) : ErrorFromErrnoAt(err, path_);
}

DWORD QueryAttributeSize(const AttributeFile& file, const std::string& name, bool& present,
                         size_t& size) {
    const ssize_t answer = file.Get(name, nullptr, 0);
    present = answer >= 0;
    size = present ? static_cast<size_t>(answer) : 0;
    if (present || MeansAbsent(errno)) return NO_ERROR;
    return file.ErrorOf(errno);
}

DWORD ReadAttributeOfSize(const AttributeFile& file, const std::string& name, size_t expected,
                          std::string& value) {
    // A zero-sized read would only ask the size again.
    if (expected == 0) return ReadEmptyValue(file, name, value);
    // The kernel hands out no larger value, whatever size a FUSE volume claims.
    if (expected > XATTR_SIZE_MAX) return ERROR_FILE_TOO_LARGE;
    std::string buffer(expected, '\0');
    const ssize_t got = file.Get(name, &buffer[0], expected);
    if (got == static_cast<ssize_t>(expected)) {
        value.swap(buffer);
        return NO_ERROR;
    }
    if (got >= 0) return kAttributeChangedError;
    const int err = errno;
    if (err == ERANGE || MeansAbsent(err)) return kAttributeChangedError;
    if (err == EIO && SizeChangedFrom(file, name, expected)) return kAttributeChangedError;
    return file.ErrorOf(err);
}

DWORD ReadAttribute(const AttributeFile& file, const std::string& name, bool& present,
                    std::string& value) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        size_t size = 0;
        DWORD error = QueryAttributeSize(file, name, present, size);
        if (error != NO_ERROR || !present) return error;
        error = ReadAttributeOfSize(file, name, size, value);
        if (error != kAttributeChangedError) return error;
    }
    return kAttributeChangedError;
}

DWORD ListUserAttributes(const AttributeFile& file, std::vector<std::string>& names) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const ssize_t size = file.List(nullptr, 0);
        if (size < 0 && errno == ENOTSUP) {
            names.clear();
            return NO_ERROR;
        }
        if (size < 0) return file.ErrorOf(errno);
        std::string list(static_cast<size_t>(size), '\0');
        const ssize_t got = size == 0 ? 0 : file.List(&list[0], list.size());
        if (got < 0 && errno == ERANGE) continue;
        if (got < 0) return file.ErrorOf(errno);
        list.resize(static_cast<size_t>(got));
        SplitUserNames(list, names);
        return NO_ERROR;
    }
    return kAttributeChangedError;
}

}  // namespace mvx
