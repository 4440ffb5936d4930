#include "transfer/SameFileName.h"

#include "common/FileHandle.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool Missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

// Asks the system which file `name` reaches, reading nothing from it.
bool KeyOfFile(const char* name, FileKey& key) {
    CFileHandle file;
    BY_HANDLE_FILE_INFORMATION identity;
    if (!file.Open(name, 0, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS) ||
        !GetFileInformationByHandle(file.Handle(), &identity))
        return false;
    key.volume = identity.dwVolumeSerialNumber;
    key.indexHigh = identity.nFileIndexHigh;
    key.indexLow = identity.nFileIndexLow;
    return true;
}

bool SameFileKey(const FileKey& one, const FileKey& other) {
    return one.volume == other.volume && one.indexHigh == other.indexHigh &&
           one.indexLow == other.indexLow;
}

bool MayNameFile(const CStringBase<char>& name, const CStringBase<char>& fullPath) {
    FileKey output, file;
    if (!KeyOfFile(name.Ptr(), output))
        return !Missing(GetLastError());
    if (!KeyOfFile(fullPath.Ptr(), file))
        return true;
    return SameFileKey(output, file);
}

bool NamesWrittenFile(const CStringBase<char>& name, const CVector<FileKey>& written) {
    if (written.Size() == 0)
        return false;
    FileKey output;
    if (!KeyOfFile(name.Ptr(), output))
        return false;
    for (int i = 0; i < written.Size(); ++i)
        if (SameFileKey(written[i], output))
            return true;
    return false;
}
