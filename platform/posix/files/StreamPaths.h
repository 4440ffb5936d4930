// Named streams as paths. On an NTFS volume mounted by ntfs-3g with
// streams_interface=windows, a file's named streams are listed by its
// attribute ntfs.streams.list (no namespace) and each is the path FILE:NAME,
// which stat, open and unlink take at any size; user.* attributes are refused
// there. Everywhere else a named stream is the attribute user.NAME.
#pragma once

#include "platform/posix/files/ExtendedAttributes.h"

#include <string>
#include <vector>

namespace mvx {

// True when the file's streams are paths; `names` then holds them in the
// volume's order and `error` is NO_ERROR, or the error reading the list.
bool ListPathStreams(const AttributeFile& file, std::vector<std::string>& names, DWORD& error);

// True when the streams of `path` are paths: those of the file where it
// exists, else those of the directory that would hold it.
bool HasPathStreams(const std::string& path);

// The path of stream `stream` of the file at `path`. ntfs-3g finds FILE:NAME
// only under the file's own name, so symbolic links on the way are resolved;
// the file itself need not exist yet. A name holding a slash would reach
// another file and fails with ERROR_INVALID_NAME. NO_ERROR or the error.
DWORD StreamPathOf(const std::string& path, const std::string& stream, std::string& streamPath);

// As StreamPathOf, for the file open as `fd` under whatever name it has now.
DWORD StreamPathOfDescriptor(int fd, const std::string& stream, std::string& streamPath);

}  // namespace mvx
