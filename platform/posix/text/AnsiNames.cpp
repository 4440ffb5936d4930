#include "platform/posix/text/AnsiNames.h"

#include "platform/posix/text/CodePages.h"

namespace mvx {

bool AnsiNameToUtf8(LPCSTR name, std::string& utf8) {
    if (CodePageToUtf8(CP_ACP, name, utf8)) return true;
    SetLastError(ERROR_INVALID_NAME);
    return false;
}

bool Utf8NameToAnsi(const std::string& utf8, std::string& ansi) {
    return Utf8ToCodePage(CP_ACP, utf8, ansi);
}

std::string::size_type AfterLastBackslash(const std::string& ansi) {
    std::string::size_type after = std::string::npos;
    for (std::string::size_type i = 0; i < ansi.size(); ++i) {
        const BYTE byte = static_cast<BYTE>(ansi[i]);
        if (IsDBCSLeadByte(byte) && i + 1 < ansi.size())
            ++i;
        else if (byte == '\\')
            after = i + 1;
    }
    return after;
}

}  // namespace mvx
