#include "host/text/TerminalText.h"

#include <langinfo.h>
#include <strings.h>

#include <cerrno>
#include <cstdio>
#include <cwchar>

#include "host/text/Utf8Text.h"

namespace {

const iconv_t kNoConversion = reinterpret_cast<iconv_t>(-1);

bool IsUtf8Name(const std::string& codeset) {
    return strcasecmp(codeset.c_str(), "UTF-8") == 0 || strcasecmp(codeset.c_str(), "UTF8") == 0;
}

// Runs `input` through `conversion` whole; false when a byte sequence has no
// counterpart, or only a stand-in (iconv counts those), or is cut short.
bool Convert(iconv_t conversion, const std::string& input, std::string& output) {
    output.clear();
    iconv(conversion, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof(buffer);
        const size_t done = iconv(conversion, &in, &inLeft, &out, &outLeft);
        output.append(buffer, sizeof(buffer) - outLeft);
        if (done == static_cast<size_t>(-1) ? errno != E2BIG : done != 0)
            return false;
    }
    char* out = buffer;
    size_t outLeft = sizeof(buffer);
    if (iconv(conversion, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1))
        return false;
    output.append(buffer, sizeof(buffer) - outLeft);
    return true;
}

std::string ByteEscape(unsigned char byte) {
    char escape[8];
    std::snprintf(escape, sizeof(escape), "\\x%02x", byte);
    return escape;
}

std::string CodePointEscape(char32_t codePoint) {
    char escape[16];
    if (codePoint > 0xFFFF)
        std::snprintf(escape, sizeof(escape), "\\U%08x", static_cast<unsigned>(codePoint));
    else
        std::snprintf(escape, sizeof(escape), "\\u%04x", static_cast<unsigned>(codePoint));
    return escape;
}

// The escape of a control character, or empty for any other.
std::string ControlEscape(char32_t codePoint) {
    switch (codePoint) {
        case '\t':
            return "\\t";
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        default:
            break;
    }
    if (codePoint < 0x20 || codePoint == 0x7F)
        return ByteEscape(static_cast<unsigned char>(codePoint));
    if (codePoint >= 0x80 && codePoint <= 0x9F)
        return CodePointEscape(codePoint);
    return std::string();
}

// Most names are made of these; they need no decoding, escape or width lookup.
bool IsPrintableAscii(char c) {
    return c >= 0x20 && c < 0x7F;
}

// `text` escaped as TerminalCharset::Escape says, where `carries` tells
// whether a character beyond ASCII can be shown as itself.
template <typename Carries>
std::string EscapeFor(const std::string& text, Carries carries) {
    std::string escaped;
    escaped.reserve(text.size());
    for (size_t at = 0; at < text.size();) {
        const size_t run = at;
        while (at < text.size() && IsPrintableAscii(text[at]))
            ++at;
        escaped.append(text, run, at - run);
        if (at == text.size())
            break;
        char32_t codePoint = 0;
        const size_t length = DecodeUtf8(text, at, codePoint);
        if (length == 0) {
            escaped += ByteEscape(static_cast<unsigned char>(text[at++]));
            continue;
        }
        const std::string character = text.substr(at, length);
        at += length;
        const std::string control = ControlEscape(codePoint);
        if (!control.empty())
            escaped += control;
        else if (codePoint < 0x80 || carries(character))
            escaped += character;
        else
            escaped += CodePointEscape(codePoint);
    }
    return escaped;
}

}  // namespace

TerminalCharset::TerminalCharset(const std::string& codeset)
    : isUtf8(IsUtf8Name(codeset)), toCharset(kNoConversion), fromCharset(kNoConversion) {
    if (isUtf8)
        return;
    toCharset = iconv_open(codeset.c_str(), "UTF-8");
    fromCharset = iconv_open("UTF-8", codeset.c_str());
    if (toCharset == kNoConversion || fromCharset == kNoConversion) {
        if (toCharset != kNoConversion)
            iconv_close(toCharset);
        if (fromCharset != kNoConversion)
            iconv_close(fromCharset);
        toCharset = iconv_open("ASCII", "UTF-8");
        fromCharset = iconv_open("UTF-8", "ASCII");
    }
}

TerminalCharset::~TerminalCharset() {
    if (toCharset != kNoConversion)
        iconv_close(toCharset);
    if (fromCharset != kNoConversion)
        iconv_close(fromCharset);
}

const TerminalCharset& TerminalCharset::OfLocale() {
    static const TerminalCharset charset(nl_langinfo(CODESET));
    return charset;
}

bool TerminalCharset::Carries(const std::string& character) const {
    std::string converted;
    return isUtf8 || Convert(toCharset, character, converted);
}

std::string TerminalCharset::Escape(const std::string& utf8Text) const {
    return EscapeFor(utf8Text, [this](const std::string& character) { return Carries(character); });
}

std::string TerminalCharset::Encode(const std::string& escaped) const {
    if (isUtf8)
        return escaped;
    std::string encoded;
    if (Convert(toCharset, escaped, encoded))
        return encoded;
    // Escape() leaves nothing the charset cannot carry; should iconv refuse
    // all the same, escapes are ASCII, which every terminal charset carries.
    return EscapeFor(escaped, [](const std::string&) { return false; });
}

bool TerminalCharset::Read(const std::string& typed, std::string& utf8Text) const {
    if (!isUtf8)
        return Convert(fromCharset, typed, utf8Text);
    if (!IsUtf8(typed))
        return false;
    utf8Text = typed;
    return true;
}

size_t TerminalWidth(const std::string& escaped) {
    size_t width = 0;
    for (size_t at = 0; at < escaped.size();) {
        if (IsPrintableAscii(escaped[at])) {
            ++width;
            ++at;
            continue;
        }
        char32_t codePoint = 0;
        const size_t length = DecodeUtf8(escaped, at, codePoint);
        at += length != 0 ? length : 1;
        // Characters the locale gives no width take one column, as most
        // terminals draw them.
        const int columns = wcwidth(static_cast<wchar_t>(codePoint));
        width += columns >= 0 ? static_cast<size_t>(columns) : 1;
    }
    return width;
}

std::string ForTerminal(const std::string& utf8) {
    return TerminalCharset::OfLocale().Show(utf8);
}
