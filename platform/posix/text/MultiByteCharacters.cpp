// Character boundaries in multi-byte text: IsDBCSLeadByte(Ex) and CharNextA.
#include "platform/posix/text/CodePage.h"
#include "platform/posix/core/FaultInjection.h"

#include <cstring>

extern "C" BOOL WINAPI IsDBCSLeadByteEx(UINT codePage, BYTE testChar) {
    if (mvx::FaultHit("IsDBCSLeadByteEx")) return FALSE;
    const mvx::CodePage* page = nullptr;
    try {
        page = mvx::LookUpCodePage(codePage);
    } catch (...) {  // no memory for the page's tables
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    if (!page) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return page->IsLeadByte(testChar);
}

extern "C" BOOL WINAPI IsDBCSLeadByte(BYTE testChar) {
    return mvx::AnsiCodePage().IsLeadByte(testChar);
}

// Steps over one character of the ANSI page: a lead byte with its trail, a
// whole UTF-8 sequence (an ill-formed one up to the first byte that could start
// a character). The terminator is never stepped over or into.
extern "C" LPSTR WINAPI CharNextA(LPCSTR current) {
    if (!current || *current == '\0') return const_cast<LPSTR>(current);
    char32_t character;
    const std::size_t length = mvx::AnsiCodePage().Decode(
        current, strnlen(current, mvx::kLongestCharacter), character);
    return const_cast<LPSTR>(current + length);
}
