#include "platform/posix/backup/FlatBackup.h"

#include <algorithm>
#include <cstring>

namespace mvx {

DWORD FlatBackup::Read(BYTE* buffer, DWORD count, DWORD& done) {
    done = static_cast<DWORD>(std::min<size_t>(count, bytes_.size() - position_));
    if (done > 0) std::memcpy(buffer, bytes_.data() + position_, done);
    position_ += done;
    return NO_ERROR;
}

DWORD FlatBackup::Seek(ULONGLONG request, ULONGLONG& skipped) {
    const ULONGLONG left = bytes_.size() - position_;
    skipped = std::min(request, left);
    position_ += static_cast<size_t>(skipped);
    return request <= left ? NO_ERROR : ERROR_SEEK;
}

}  // namespace mvx
