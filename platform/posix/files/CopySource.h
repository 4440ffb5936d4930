// What CopyFileA reads: the data of a file or of a stream that is a path,
// through an open descriptor in bounded chunks (either may be many GiB), or
// the value of a stream kept as an attribute, which the kernel hands out
// whole and caps at 64 KiB.
#pragma once

#include "platform/posix/core/Descriptor.h"
#include "platform/posix/files/ResolvedName.h"
#include "platform/posix/files/ShareAccess.h"

#include <string>

namespace mvx {

class CopySource {
public:
    // Opens the data of `name` or reads its stream. False with the last error
    // set; a directory has no data of its own to copy (ERROR_ACCESS_DENIED).
    bool Open(const ResolvedName& name);

    // The file and stream read, for share modes and the same-file check.
    const FileIdentity& Identity() const { return identity_; }

    // The mode a new copy takes, as cp gives it: the permission bits of the
    // file read, without setuid, setgid and sticky (the umask applies on top).
    mode_t NewFileMode() const { return mode_ & 0777; }

    // How much there is to read. NO_ERROR or the error.
    DWORD Size(ULONGLONG& size) const;

    // Everything there is to read; more than `limit` bytes fails with
    // ERROR_FILE_TOO_LARGE before anything is read. NO_ERROR or the error.
    DWORD ReadWhole(std::size_t limit, std::string& value) const;

    // Writes everything there is to read to `fd`: exactly what the data held
    // when opened, or kErrorSourceChanged when another writer changed it
    // meanwhile. NO_ERROR or the error.
    DWORD WriteTo(int fd) const;

private:
    bool OpenFileData(const std::string& path);
    bool ReadStream(const ResolvedName& name);
    bool Unchanged() const;

    FileIdentity identity_;
    mode_t mode_ = 0666;
    ULONGLONG size_ = 0;       // of the data when opened
    FILETIME written_{};       // its last write when opened
    Descriptor data_;    // a file's data, or a stream that is a path
    std::string value_;  // a stream's value
};

}  // namespace mvx
