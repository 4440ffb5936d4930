#include "platform/posix/files/LinuxPathName.h"

#include "platform/posix/files/FileStatus.h"
#include "platform/posix/text/AnsiNames.h"
#include "platform/posix/Win32Functions.h"

namespace mvx {

bool ResolveNameOrLinuxPath(LPCSTR name, ResolvedName& out) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    std::string utf8;
    if (!AnsiNameToUtf8(name, utf8)) return false;
    FileStatus status;
    if (!utf8.empty() && utf8[0] == '/' && QueryEntryStatus(utf8, status)) {
        out = ResolvedName();
        out.path = utf8;
        return true;
    }
    return ResolveUtf8Name(utf8, out);
}

}  // namespace mvx
