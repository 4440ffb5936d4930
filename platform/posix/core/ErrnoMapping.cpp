#include "platform/posix/core/ErrnoMapping.h"

#include "platform/posix/Win32Functions.h"
#include "platform/posix/core/LayerErrors.h"

#include <cerrno>
#include <sys/stat.h>

namespace mvx {
namespace {

struct ErrnoCode {
    int err;
    DWORD code;
};

// Extended attributes report a value larger than the file system allows with
// E2BIG and a value larger than the caller's buffer with ERANGE. Opening a
// socket, or a pipe for writing while nobody reads it, fails with ENXIO.
const ErrnoCode kCodes[] = {
    {EPERM, ERROR_ACCESS_DENIED},        {ENOENT, ERROR_FILE_NOT_FOUND},
    {ENOTDIR, ERROR_PATH_NOT_FOUND},     {ELOOP, ERROR_PATH_NOT_FOUND},
    {EACCES, ERROR_ACCESS_DENIED},       {EISDIR, ERROR_ACCESS_DENIED},
    {ETXTBSY, ERROR_SHARING_VIOLATION},  {EBUSY, ERROR_SHARING_VIOLATION},
    {EEXIST, ERROR_ALREADY_EXISTS},      {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
    {ENOSPC, ERROR_DISK_FULL},           {EDQUOT, ERROR_DISK_FULL},
    {EFBIG, ERROR_FILE_TOO_LARGE},       {E2BIG, ERROR_FILE_TOO_LARGE},
    {ERANGE, ERROR_INSUFFICIENT_BUFFER}, {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES}, {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {ENOTSUP, ERROR_NOT_SUPPORTED},      {ENOSYS, ERROR_NOT_SUPPORTED},
    {ENODATA, ERROR_FILE_NOT_FOUND},     {EROFS, ERROR_WRITE_PROTECT},
    {EIO, ERROR_INVALID_DATA},           {EILSEQ, ERROR_INVALID_NAME},
    {EINVAL, ERROR_INVALID_PARAMETER},   {EBADF, ERROR_INVALID_HANDLE},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},   {EXDEV, ERROR_NOT_SAME_DEVICE},
    {EOVERFLOW, ERROR_FILE_TOO_LARGE},   {EPIPE, ERROR_BROKEN_PIPE},
    {ENXIO, kErrorSpecialFile},
};

bool DirectoryExists(const std::string& path) {
    struct stat64 status;
    return stat64(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The directory that holds the last component of `path`; a trailing slash
// belongs to that component.
std::string ParentOf(const std::string& path) {
    std::string::size_type end = path.find_last_not_of('/');
    if (end == std::string::npos) return "/";
    std::string::size_type slash = path.rfind('/', end);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

DWORD ErrorFromErrno(int err) {
    for (const ErrnoCode& entry : kCodes)
        if (entry.err == err) return entry.code;
    return ERROR_INVALID_FUNCTION;
}

DWORD ErrorFromErrnoAt(int err, const std::string& path) {
    if (err == ENOENT && !DirectoryExists(ParentOf(path))) return ERROR_PATH_NOT_FOUND;
    return ErrorFromErrno(err);
}

void SetLastErrorFromErrno(int err, const std::string& path) {
    SetLastError(ErrorFromErrnoAt(err, path));
}

}  // namespace mvx
