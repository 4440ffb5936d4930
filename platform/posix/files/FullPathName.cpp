// GetFullPathNameA: the full path of a name, in the ANSI page. Text only,
// but for the spelling of a name Linux holds with trailing dots or blanks.
#include "platform/posix/text/AnsiNames.h"
#include "platform/posix/core/EntryGuard.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/files/LinuxPathName.h"

#include <cstring>

namespace mvx {
namespace {

DWORD Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

// A result that fits (length < bufferLength) is copied with its terminator
// and its length returned; otherwise the size it needs, terminator included,
// and the buffer stays untouched.
DWORD FullPathName(LPCSTR name, DWORD bufferLength, LPSTR buffer, LPSTR* filePart) {
    if (!name || (bufferLength > 0 && !buffer)) return Fail(ERROR_INVALID_PARAMETER);
    if (*name == '\0') return Fail(ERROR_INVALID_NAME);
    std::string utf8, full, ansi;
    if (!AnsiNameToUtf8(name, utf8)) return 0;
    MakeUserFullPath(utf8, full);
    // The current directory may hold characters the ANSI page lacks.
    if (!Utf8NameToAnsi(full, ansi)) return Fail(ERROR_NO_UNICODE_TRANSLATION);
    const DWORD length = static_cast<DWORD>(ansi.size());
    if (length >= bufferLength) return length + 1;
    std::memcpy(buffer, ansi.c_str(), ansi.size() + 1);
    if (filePart) {
        const std::string::size_type after = AfterLastBackslash(ansi);
        *filePart = after == std::string::npos || after == ansi.size() ? nullptr : buffer + after;
    }
    return length;
}

}  // namespace
}  // namespace mvx

extern "C" DWORD WINAPI GetFullPathNameA(LPCSTR name, DWORD bufferLength, LPSTR buffer,
                                         LPSTR* filePart) {
    if (mvx::FaultHit("GetFullPathNameA")) return 0;
    return mvx::GuardedCall<DWORD>(
        0, [&] { return mvx::FullPathName(name, bufferLength, buffer, filePart); });
}
