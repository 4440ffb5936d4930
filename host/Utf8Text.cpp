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

}  // namespace

std::string ToUtf8(const char* text, UINT codePage) {
    int length = static_cast<int>(std::strlen(text));
    if (length == 0)
        return std::string();
    int wideLength = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (wideLength <= 0)
        return AsciiOnly(text);
    std::vector<WCHAR> wide(static_cast<size_t>(wideLength));
    if (MultiByteToWideChar(codePage, 0, text, length, wide.data(), wideLength) != wideLength)
        return AsciiOnly(text);
    int utf8Length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (utf8Length <= 0)
        return AsciiOnly(text);
    std::string result(static_cast<size_t>(utf8Length), '\0');
    if (WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, &result[0], utf8Length, nullptr,
                            nullptr) != utf8Length)
        return AsciiOnly(text);
    return result;
}
