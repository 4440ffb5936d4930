// The streams BackupRead delivers for one file, in the order it delivers
// them: {Data} for a regular file, {EA_Data}, {Security_Data} when security is
// asked for, one alternate data stream per stream attribute (SambaStreams.h;
// in the order the file system lists them) or, where streams are paths FILE:NAME, per name in
// ntfs.streams.list, then {Object_Id} and {Reparse_Data}.
//
// Listing costs size queries only: every stream's data stays where it is
// until it is read. The exception is the security descriptor, whose size is
// known only once it is built; it is small, and holding it keeps its header
// and its data in agreement.
#pragma once

#include "platform/posix/Win32Types.h"

#include <string>
#include <vector>

namespace mvx {

enum class StreamSource {
    FileData,   // the file's own contents
    Attribute,  // the extended attribute named in `attribute`
    Path,       // the stream at `path`, read as a file
    Held,       // the bytes in `held`
};

struct BackupStream {
    DWORD id = BACKUP_INVALID;
    DWORD attributes = STREAM_NORMAL_ATTRIBUTE;
    ULONGLONG size = 0;
    std::u16string name;
    StreamSource source = StreamSource::Held;
    std::string attribute;
    size_t attributeSize = 0;  // the whole value, Samba's NUL included
    std::string path;
    std::string held;
    // Not NO_ERROR: the stream has no header to give (its name is not
    // UTF-8, its size or descriptor could not be had); reading at its place
    // fails with this code, after the streams before it were delivered.
    DWORD failure = NO_ERROR;
};

// The streams of the file open as `fd`; NO_ERROR or the Windows error.
DWORD ListBackupStreams(int fd, bool withSecurity, std::vector<BackupStream>& streams);

// The 20-byte WIN32_STREAM_ID header and the UTF-16LE name that precede the
// stream's data.
constexpr size_t kStreamHeaderSize = 20;
std::string StreamHeader(const BackupStream& stream);

}  // namespace mvx
