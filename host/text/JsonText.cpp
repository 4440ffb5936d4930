#include "host/text/JsonText.h"

#include <cstdio>

#include "host/text/Utf8Text.h"

namespace {

std::string Escape(char32_t codePoint) {
    switch (codePoint) {
        case '"':
            return "\\\"";
        case '\\':
            return "\\\\";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        default:
            break;
    }
    if (codePoint >= 0x20 && codePoint != 0x7F)
        return std::string();
    char escape[8];
    std::snprintf(escape, sizeof(escape), "\\u%04x", static_cast<unsigned>(codePoint));
    return escape;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string result = "\"";
    for (size_t at = 0; at < text.size();) {
        char32_t codePoint = 0;
        const size_t length = DecodeUtf8(text, at, codePoint);
        if (length == 0) {
            result += "\xEF\xBF\xBD";
            ++at;
            continue;
        }
        const std::string escape = Escape(codePoint);
        result += escape.empty() ? text.substr(at, length) : escape;
        at += length;
    }
    result += '"';
    return result;
}
