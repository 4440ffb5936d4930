#include "host/text/Utf8Text.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";

// A UTF-8 sequence of more than one byte: what its lead byte looks like, how
// long it is, and the smallest code point that needs that length.
struct Utf8Form {
    unsigned char mask;
    unsigned char lead;
    size_t length;
    char32_t smallest;
};

const Utf8Form kUtf8Forms[] = {
    {0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};

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
    // Well-formed UTF-8 comes back from UTF-16 as it went in: the round trip
    // through the layer, which listings take once per name, is skipped.
    std::string same(text, static_cast<size_t>(length));
    if (PageNumber(codePage) == CP_UTF8 && IsUtf8(same))
        return same;
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

size_t DecodeUtf8(const std::string& text, size_t at, char32_t& codePoint) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    const Utf8Form* form =
        std::find_if(std::begin(kUtf8Forms), std::end(kUtf8Forms),
                     [&](const Utf8Form& f) { return (lead & f.mask) == f.lead; });
    if (form == std::end(kUtf8Forms) || text.size() - at < form->length)
        return 0;
    codePoint = lead & ~form->mask;
    for (size_t i = 1; i < form->length; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < form->smallest || codePoint > 0x10FFFF || surrogate)
        return 0;
    return form->length;
}

bool IsUtf8(const std::string& text) {
    char32_t codePoint = 0;
    for (size_t at = 0; at < text.size();) {
        if (static_cast<unsigned char>(text[at]) < 0x80) {
            ++at;
            continue;
        }
        const size_t length = DecodeUtf8(text, at, codePoint);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}
