#include "common/FileInfo.h"

void FileInfo::Assign(const WIN32_FIND_DATAA& found) {
    attributes = found.dwFileAttributes;
    creationTime = found.ftCreationTime;
    lastAccessTime = found.ftLastAccessTime;
    lastWriteTime = found.ftLastWriteTime;
    size = (static_cast<uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    reserved0 = found.dwReserved0;
    name = found.cFileName;
}
