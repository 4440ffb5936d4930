#include "transfer/SameFileName.h"

#include "common/FileHandle.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Asks the system which file `name` reaches, reading nothing from it.
bool OpenForIdentity(CFileHandle& file, const char* name, BY_HANDLE_FILE_INFORMATION& identity) {
    return file.Open(name, 0, kShareAll, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS) &&
           GetFileInformationByHandle(file.Handle(), &identity);
}

bool Missing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

bool MayNameFile(const CStringBase<char>& name, const CStringBase<char>& fullPath) {
    CFileHandle output, file;
    BY_HANDLE_FILE_INFORMATION outputIdentity, fileIdentity;
    if (!OpenForIdentity(output, name.Ptr(), outputIdentity))
        return !Missing(GetLastError());
    if (!OpenForIdentity(file, fullPath.Ptr(), fileIdentity))
        return true;
    return outputIdentity.dwVolumeSerialNumber == fileIdentity.dwVolumeSerialNumber &&
           outputIdentity.nFileIndexHigh == fileIdentity.nFileIndexHigh &&
           outputIdentity.nFileIndexLow == fileIdentity.nFileIndexLow;
}
