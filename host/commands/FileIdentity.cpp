#include "host/commands/FileIdentity.h"

#include "host/text/Utf8Text.h"
#include "platform/win32.h"

namespace {

enum class Lookup { kFound, kMissing, kUntold };

// Which file `name` reaches, opened for no data: a file the user may not
// read still tells who it is.
Lookup Identify(const std::string& name, BY_HANDLE_FILE_INFORMATION& identity) {
    std::string systemName;
    if (!FromUtf8(name, CP_ACP, systemName))
        return Lookup::kUntold;
    const HANDLE file = CreateFileA(systemName.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Lookup::kMissing
                                                                               : Lookup::kUntold;
    }
    const bool told = GetFileInformationByHandle(file, &identity);
    CloseHandle(file);
    return told ? Lookup::kFound : Lookup::kUntold;
}

}  // namespace

Sameness CompareFiles(const std::string& first, const std::string& second) {
    BY_HANDLE_FILE_INFORMATION one, other;
    const Lookup firstLookup = Identify(first, one);
    if (firstLookup == Lookup::kMissing)
        return Sameness::kDifferent;
    const Lookup secondLookup = Identify(second, other);
    if (secondLookup == Lookup::kMissing)
        return Sameness::kDifferent;
    if (firstLookup == Lookup::kUntold || secondLookup == Lookup::kUntold)
        return Sameness::kUntold;
    const bool same = one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
                      one.nFileIndexHigh == other.nFileIndexHigh &&
                      one.nFileIndexLow == other.nFileIndexLow;
    return same ? Sameness::kSame : Sameness::kDifferent;
}
