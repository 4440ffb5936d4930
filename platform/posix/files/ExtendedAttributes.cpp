#include "platform/posix/files/ExtendedAttributes.h"

#include "platform/posix/core/ErrnoMapping.h"
#include "platform/posix/core/LayerErrors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <linux/limits.h>
#include <sys/statfs.h>
#include <sys/xattr.h>

namespace mvx {
namespace {

// Values and lists that change while they are read are asked for again this
// often before the change is reported.
constexpr int kAttempts = 3;

const std::string kUserPrefix = "user.";

// The names most files have fit in this many bytes.
constexpr size_t kSmallList = 4096;

bool MeansAbsent(int err) { return err == ENODATA || err == ENOTSUP; }

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

// The kernel hands out no value over 64 KiB, and a FUSE volume may answer
// the size query of a larger one with that limit (ntfs-3g's default interface
// does): a value of the limit is whole only when a read of that size succeeds.
DWORD CheckWholeSize(const AttributeFile& file, const std::string& name, size_t size) {
    if (size > XATTR_SIZE_MAX) return kErrorStreamBeyondAttribute;
    if (size < XATTR_SIZE_MAX || !file.OnFuse()) return NO_ERROR;
    std::string buffer(size, '\0');
    if (file.Get(name, &buffer[0], size) >= 0) return NO_ERROR;
    return errno == E2BIG ? kErrorStreamBeyondAttribute : file.ErrorOf(errno);
}

// The kernel lists at most 64 KiB of names and fails a longer list with
// E2BIG, whatever the buffer.
DWORD ListError(const AttributeFile& file, int err) {
    return err == E2BIG || err == ERANGE ? kErrorAttributeListTooLarge : file.ErrorOf(err);
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

bool AttributeFile::OnFuse() const {
    constexpr long kFuseMagic = 0x65735546;
    struct statfs volume;
    const int result = fd_ >= 0 ? fstatfs(fd_, &volume) : statfs(path_.c_str(), &volume);
    return result == 0 && volume.f_type == kFuseMagic;
}

DWORD AttributeFile::ErrorOf(int err) const {
    return path_.empty() ? ErrorFromErrno(err) : ErrorFromErrnoAt(err, path_);
}

DWORD QueryAttributeSize(const AttributeFile& file, const std::string& name, bool& present,
                         size_t& size) {
    const ssize_t answer = file.Get(name, nullptr, 0);
    present = answer >= 0;
    size = present ? static_cast<size_t>(answer) : 0;
    if (present) return CheckWholeSize(file, name, size);
    return MeansAbsent(errno) ? NO_ERROR : file.ErrorOf(errno);
}

DWORD ReadAttributeOfSize(const AttributeFile& file, const std::string& name, size_t expected,
                          std::string& value) {
    // A zero-sized read would only ask the size again.
    if (expected == 0) return ReadEmptyValue(file, name, value);
    // The kernel hands out no larger value, whatever size a FUSE volume claims.
    if (expected > XATTR_SIZE_MAX) return kErrorStreamBeyondAttribute;
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

// Most files have a short list, read into a small buffer; a longer one is
// read again into a buffer of the largest list the kernel hands out. Asking
// the size first would walk the file's names twice, and offering the largest
// buffer every time costs the kernel an allocation of that size per call.
DWORD AttributeNameList::Read(const AttributeFile& file) {
    char small[kSmallList];
    ssize_t got = file.List(small, sizeof small);
    if (got >= 0) {
        list_.assign(1, '\0').append(small, static_cast<size_t>(got));
    } else if (errno == ERANGE) {
        std::unique_ptr<char[]> large(new char[XATTR_LIST_MAX]);
        got = file.List(large.get(), XATTR_LIST_MAX);
        if (got >= 0) list_.assign(1, '\0').append(large.get(), static_cast<size_t>(got));
    }
    if (got < 0) {
        const int err = errno;
        list_.assign(1, '\0');
        if (err != ENOTSUP) return ListError(file, err);
    }
    if (list_.back() != '\0') list_.push_back('\0');
    return NO_ERROR;
}

// Every name starts with a NUL before it and "user.", so the search jumps
// from one place of the byte that follows to the next: in a long list of
// plain names that byte is rare, and memchr passes the rest at memory speed.
bool AttributeNameList::Contains(std::string_view start, std::string_view end) const {
    std::string wanted;
    wanted.reserve(1 + kUserPrefix.size() + start.size() + end.size());
    wanted.append(1, '\0').append(kUserPrefix).append(start).append(end);
    const size_t lead = 1 + kUserPrefix.size();
    if (wanted.size() == lead)
        return memmem(list_.data(), list_.size(), wanted.data(), wanted.size()) != nullptr;
    const char* const first = list_.data() + lead;
    const char* const last = list_.data() + list_.size();
    for (const char* at = first; at < last;) {
        at = static_cast<const char*>(std::memchr(at, wanted[lead], last - at));
        if (at == nullptr) return false;
        const char* candidate = at - lead;
        if (static_cast<size_t>(last - candidate) >= wanted.size() &&
            std::memcmp(candidate, wanted.data(), wanted.size()) == 0)
            return true;
        ++at;
    }
    return false;
}

bool AttributeNameList::HasUserName(std::string_view name) const {
    return Contains(name, std::string_view("", 1));
}

bool AttributeNameList::HasUserNameStartingWith(std::string_view start) const {
    return Contains(start, {});
}

std::vector<std::string_view> AttributeNameList::UserNames() const {
    std::vector<std::string_view> names;
    std::string_view rest(list_);
    rest.remove_prefix(1);
    while (!rest.empty()) {
        const std::string_view name = rest.substr(0, rest.find('\0'));
        if (name.compare(0, kUserPrefix.size(), kUserPrefix) == 0)
            names.push_back(name.substr(kUserPrefix.size()));
        rest.remove_prefix(std::min(rest.size(), name.size() + 1));
    }
    return names;
}

}  // namespace mvx
