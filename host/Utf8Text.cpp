#include "host/Utf8Text.h"

#include <cstring>
#include <vector>

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";

// When the system cannot convert at all, ASCII still reads as itself.
std::string AsciiOnly(const char* text) {
    std::string result;
    for (const char* c = text; *c != 0; ++c) {
        if (static_cast<unsigned char>(*c) < 0x80)
            result += *c;
        else
            result += kReplacement;
    }
    return result;
}

bool ToWide(const char* text, int length, UINT codePage, DWORD flags, std::vector<WCHAR>& wide) {
    int wideLength = MultiByteToWideChar(codePage, flags, text, length, nullptr, 0);
    if (wideLength <= 0)
        return false;
    wide.resize(static_cast<size_t>(wideLength));
    return MultiByteToWideChar(codePage, flags, text, length, wide.data(), wideLength) ==
           wideLength;
}

// `usedDefault`, when given, tells whether a character had to be stood in for.
bool FromWide(const std::vector<WCHAR>& wide, UINT codePage, DWORD flags, BOOL* usedDefault,
              std::string& text) {
    int wideLength = static_cast<int>(wide.size());
    int length = WideCharToMultiByte(codePage, flags, wide.data(), wideLength, nullptr, 0,
                                     nullptr, usedDefault);
    if (length <= 0)
        return false;
    text.assign(static_cast<size_t>(length), '\0');
    return WideCharToMultiByte(codePage, flags, wide.data(), wideLength, &text[0], length,
                               nullptr, usedDefault) == length;
}

UINT PageNumber(UINT codePage) {
    if (codePage == CP_ACP)
        return GetACP();
    return codePage == CP_OEMCP ? GetOEMCP() : codePage;
}

}  // namespace

std::string ToUtf8(const char* text, UINT codePage) {
    int length = static_cast<int>(std::strlen(text));
    if (length == 0)
        return std::string();
    std::vector<WCHAR> wide;
    std::string result;
    if (!ToWide(text, length, codePage, 0, wide) || !FromWide(wide, CP_UTF8, 0, nullptr, result))
        return AsciiOnly(text);
    return result;
}

bool FromUtf8(const std::string& text, UINT codePage, std::string& converted) {
    converted.clear();
    if (text.empty())
        return true;
    std::vector<WCHAR> wide;
    if (!ToWide(text.data(), static_cast<int>(text.size()), CP_UTF8, MB_ERR_INVALID_CHARS, wide))
        return false;
    UINT page = PageNumber(codePage);
    // Windows takes neither best-fit flag nor stand-in report for UTF-8.
    if (page == CP_UTF8)
        return FromWide(wide, page, WC_ERR_INVALID_CHARS, nullptr, converted);
    BOOL usedDefault = FALSE;
    return FromWide(wide, page, WC_NO_BEST_FIT_CHARS, &usedDefault, converted) && !usedDefault;
}
