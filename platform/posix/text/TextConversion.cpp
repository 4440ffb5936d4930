// Conversions between the code pages, UTF-8 and UTF-16 for the rest of the layer.
#include "platform/posix/text/CodePage.h"
#include "platform/posix/text/CodePages.h"
#include "platform/posix/text/UnicodeEncoding.h"

namespace mvx {
namespace {

// Reads every character of `text` with `decode` and hands it to `append`. The
// result is assigned only when the whole text converted, so a failure leaves
// it as it was. A result is rarely much longer than its text: room for as
// many units is made at once rather than in steps.
template <class In, class Out, class Decode, class Append>
bool Convert(const In& text, Out& result, Decode decode, Append append) {
    Out out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t character = kInvalidCharacter;
        i += decode(text.data() + i, text.size() - i, character);
        if (character == kInvalidCharacter || !append(character, out)) return false;
    }
    result = std::move(out);
    return true;
}

// Building strings and page tables can only fail for want of memory; the
// callers are Win32 functions, which must not see an exception.
template <class Body>
bool Guarded(Body body) {
    try {
        return body();
    } catch (...) {
        return false;
    }
}

bool AppendToUtf8(char32_t c, std::string& out) {
    AppendUtf8(c, out);
    return true;
}

bool AppendToUtf16(char32_t c, std::u16string& out) {
    AppendUtf16(c, out);
    return true;
}

// Stream and file names are mostly ASCII, which is the same unit for unit in
// UTF-8 and UTF-16: such a text needs no decoding.
template <class Text>
bool IsAscii(const Text& text) {
    for (const auto unit : text)
        if (static_cast<char32_t>(unit) >= 0x80) return false;
    return true;
}

}  // namespace

bool CodePageToUtf8(UINT codePage, const std::string& text, std::string& utf8) {
    return Guarded([&] {
        const CodePage* page = LookUpCodePage(codePage);
        if (!page) return false;
        if (page->Number() == CP_UTF8) {
            utf8 = text;
            return true;
        }
        auto decode = [page](const char* s, std::size_t n, char32_t& c) {
            return page->Decode(s, n, c);
        };
        return Convert(text, utf8, decode, AppendToUtf8);
    });
}

bool Utf8ToCodePage(UINT codePage, const std::string& utf8, std::string& text) {
    return Guarded([&] {
        const CodePage* page = LookUpCodePage(codePage);
        if (!page) return false;
        if (page->Number() == CP_UTF8) {
            text = utf8;
            return true;
        }
        auto encode = [page](char32_t c, std::string& out) { return page->Encode(c, out); };
        return Convert(utf8, text, DecodeUtf8, encode);
    });
}

bool Utf8ToUtf16(const std::string& utf8, std::u16string& utf16) {
    return Guarded([&] {
        if (!IsAscii(utf8)) return Convert(utf8, utf16, DecodeUtf8, AppendToUtf16);
        utf16.assign(utf8.begin(), utf8.end());
        return true;
    });
}

bool Utf16ToUtf8(const std::u16string& utf16, std::string& utf8) {
    return Guarded([&] {
        if (!IsAscii(utf16)) return Convert(utf16, utf8, DecodeUtf16, AppendToUtf8);
        utf8.assign(utf16.begin(), utf16.end());
        return true;
    });
}

}  // namespace mvx
