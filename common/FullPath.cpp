#include "common/FullPath.h"

#include "platform/win32.h"

namespace {

// Room the system is offered: a path of MAX_PATH characters and its terminator.
const int kFullPathRoom = MAX_PATH + 1;

}  // namespace

bool GetFullPath(const char* name, CStringBase<char>& path, int& filePartOffset) {
    char* buffer = path.OpenBuffer(kFullPathRoom);
    char* filePart = nullptr;
    DWORD length = GetFullPathNameA(name, kFullPathRoom, buffer, &filePart);
    path.CloseBuffer();
    if (length == 0 || length >= MAX_PATH)
        return false;
    filePartOffset = filePart != nullptr ? static_cast<int>(filePart - buffer) : path.Length();
    return true;
}

bool GetFullPath(const char* name, CStringBase<char>& path) {
    int filePartOffset = 0;
    return GetFullPath(name, path, filePartOffset);
}
