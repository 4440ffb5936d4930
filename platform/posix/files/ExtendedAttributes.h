// Extended attributes of one file, read by the rules every file system we
// meet needs. The size is always asked first: ntfs-3g fails a read into a
// buffer that is too small (but not empty) with EIO, not ERANGE. A name the
// file does not carry, or whose kind the file system does not know (system.*
// names of NTFS on ext4 or tmpfs), is "no such attribute", not an error.
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

namespace mvx {

// A value that is gone, or no longer has the size the caller was told, fails
// with this code rather than being delivered cut short or overlong.
constexpr DWORD kAttributeChangedError = ERROR_INVALID_DATA;

// The file whose attributes are asked for: an open descriptor, or a path
// (symbolic links followed).
class AttributeFile {
public:
    static AttributeFile OfDescriptor(int fd);
    static AttributeFile OfPath(const std::string& path);

    // The system calls on the descriptor or the path, with their results.
    ssize_t Get(const std::string& name, void* value, size_t size) const;
    ssize_t List(char* names, size_t size) const;
    int Status(struct stat64& status) const;
    // True on a FUSE volume, whose size answers may be cut at the kernel's limit.
    bool OnFuse() const;

    // The Windows code for an errno these calls left.
    DWORD ErrorOf(int err) const;

private:
    int fd_ = -1;
    std::string path_;
};

// The size of attribute `name`; `present` false when the file has none. A
// size that may be cut short is never reported: a value larger than an
// attribute can hand out fails with kErrorStreamBeyondAttribute.
// Returns NO_ERROR or the Windows error.
DWORD QueryAttributeSize(const AttributeFile& file, const std::string& name, bool& present,
                         size_t& size);

// The value of `name`, which had `expected` bytes when its size was asked.
// Returns NO_ERROR, kAttributeChangedError, or the Windows error.
DWORD ReadAttributeOfSize(const AttributeFile& file, const std::string& name, size_t expected,
                          std::string& value);

// The value `name` holds now; `present` false when the file has none.
DWORD ReadAttribute(const AttributeFile& file, const std::string& name, bool& present,
                    std::string& value);

// The names of a file's attributes, as one list searched in place: a file
// may carry thousands, and the list is read once per stream deleted or
// copied, so a search must cost no more than the system's own listing.
class AttributeNameList {
public:
    DWORD Read(const AttributeFile& file);
    // Whether the file carries attribute user.NAME.
    bool HasUserName(std::string_view name) const;
    // Whether one of the file's user.* names starts with `start`.
    bool HasUserNameStartingWith(std::string_view start) const;
    // The user.* names without that prefix, in the order the file system
    // lists them; bytes as they are (not always UTF-8). Views into the list.
    std::vector<std::string_view> UserNames() const;

private:
    bool Contains(std::string_view start, std::string_view end) const;

    // Every name follows a NUL, so that a search for NUL and a name finds
    // only whole names.
    std::string list_ = std::string(1, '\0');
};

}  // namespace mvx
