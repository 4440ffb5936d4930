#include "common/FullPath.h"

#include "platform/win32.h"

namespace {

// Room the system is offered: a path of MAX_PATH characters and its terminator.
const int kFullPathRoom = MAX_PATH + 1;

// The system's answer in a buffer of `room` characters: the path's length,
// or the room it needs when that is more, or 0.
DWORD AskFullPath(const char* name, DWORD room, CStringBase<char>& path, int& filePartOffset) {
    char* buffer = path.OpenBuffer(static_cast<int>(room));
    char* filePart = nullptr;
    DWORD length = GetFullPathNameA(name, room, buffer, &filePart);
    if (length >= room)
        buffer[0] = 0;
    path.CloseBuffer();
    filePartOffset = filePart != nullptr ? static_cast<int>(filePart - buffer) : path.Length();
    return length;
}

}  // namespace

bool GetFullPath(const char* name, CStringBase<char>& path, int& filePartOffset) {
    int offset = 0;
    DWORD length = AskFullPath(name, kFullPathRoom, path, offset);
    if (length == 0 || length >= MAX_PATH)
        return false;
    filePartOffset = offset;
    return true;
}

bool GetWholeFullPath(const char* name, CStringBase<char>& path) {
    int offset = 0;
    DWORD length = AskFullPath(name, kFullPathRoom, path, offset);
    // The name may change between the two questions; the second answer counts.
    if (length >= kFullPathRoom)
        length = AskFullPath(name, length, path, offset);
    return length != 0 && static_cast<int>(length) == path.Length();
}

bool GetFullPath(const char* name, CStringBase<char>& path) {
    int filePartOffset = 0;
    return GetFullPath(name, path, filePartOffset);
}
