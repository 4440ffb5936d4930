#include "platform/posix/text/UnicodeEncoding.h"

namespace mvx {
namespace {

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

struct Utf8Lead {
    std::size_t length;  // 0: the byte cannot start a sequence
    char32_t bits;       // payload bits of the lead byte
    unsigned char secondLow, secondHigh;  // allowed range of the second byte
};

// The second byte carries the restrictions that rule out overlong forms,
// surrogates and values above U+10FFFF; later bytes are plain 80..BF.
Utf8Lead ClassifyLead(unsigned char b) {
    if (b < 0x80) return {1, b, 0, 0};
    if (b >= 0xC2 && b <= 0xDF) return {2, b & 0x1Fu, 0x80, 0xBF};
    if (b == 0xE0) return {3, b & 0x0Fu, 0xA0, 0xBF};
    if (b == 0xED) return {3, b & 0x0Fu, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF) return {3, b & 0x0Fu, 0x80, 0xBF};
    if (b == 0xF0) return {4, b & 0x07u, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3) return {4, b & 0x07u, 0x80, 0xBF};
    if (b == 0xF4) return {4, b & 0x07u, 0x80, 0x8F};
    return {0, 0, 0, 0};
}

}  // namespace

bool IsScalarValue(char32_t character) {
    return character <= 0x10FFFF && !IsSurrogate(character);
}

std::size_t DecodeUtf8(const char* text, std::size_t count, char32_t& character) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const Utf8Lead lead = ClassifyLead(bytes[0]);
    character = kInvalidCharacter;
    if (lead.length == 0) return 1;
    char32_t value = lead.bits;
    for (std::size_t i = 1; i < lead.length; ++i) {
        const unsigned char low = i == 1 ? lead.secondLow : 0x80;
        const unsigned char high = i == 1 ? lead.secondHigh : 0xBF;
        if (i >= count || bytes[i] < low || bytes[i] > high) return i;
        value = (value << 6) | (bytes[i] & 0x3Fu);
    }
    character = value;
    return lead.length;
}

std::size_t DecodeUtf16(const char16_t* text, std::size_t count, char32_t& character) {
    const char32_t first = text[0];
    character = kInvalidCharacter;
    if (!IsSurrogate(first)) {
        character = first;
        return 1;
    }
    if (!IsHighSurrogate(first) || count < 2 || !IsLowSurrogate(text[1])) return 1;
    character = 0x10000 + ((first - 0xD800) << 10) + (text[1] - 0xDC00);
    return 2;
}

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(char32_t c, std::u16string& out) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
        return;
    }
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

}  // namespace mvx
