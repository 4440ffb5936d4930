// UTF-8 at the edges of each sequence length: the largest overlong form and
// the smallest real one of every length (5- and 6-byte forms included), the
// surrogates' edges, U+10FFFF and one past it, checked alike by our decoder,
// the layer's conversions and the JSON text, which an independent reader
// decodes.
#include "host/text/JsonText.h"
#include "host/text/Utf8Text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/host/ProgramRunSupport.h"

namespace {

struct Sequence {
    const char* what;
    std::string bytes;
    std::u16string wide;  // empty: not well-formed
};

const Sequence kSequences[] = {
    {"overlong slash, 2 bytes", "\xC0\xAF", u""},
    {"largest overlong, 2 bytes", "\xC1\xBF", u""},
    {"smallest of 2 bytes", "\xC2\x80", u"\u0080"},
    {"largest of 2 bytes", "\xDF\xBF", u"\u07FF"},
    {"overlong slash, 3 bytes", "\xE0\x80\xAF", u""},
    {"largest overlong, 3 bytes", "\xE0\x9F\xBF", u""},
    {"smallest of 3 bytes", "\xE0\xA0\x80", u"\u0800"},
    {"last before the surrogates", "\xED\x9F\xBF", u"\uD7FF"},
    {"first surrogate", "\xED\xA0\x80", u""},
    {"last surrogate", "\xED\xBF\xBF", u""},
    {"first after the surrogates", "\xEE\x80\x80", u"\uE000"},
    {"largest of 3 bytes", "\xEF\xBF\xBF", u"\uFFFF"},
    {"overlong slash, 4 bytes", "\xF0\x80\x80\xAF", u""},
    {"largest overlong, 4 bytes", "\xF0\x8F\xBF\xBF", u""},
    {"smallest of 4 bytes", "\xF0\x90\x80\x80", u"\U00010000"},
    {"largest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    {"one past the largest", "\xF4\x90\x80\x80", u""},
    {"largest 4-byte form", "\xF7\xBF\xBF\xBF", u""},
    {"overlong slash, 5 bytes", "\xF8\x80\x80\x80\xAF", u""},
    {"smallest of 5 bytes", "\xF8\x88\x80\x80\x80", u""},
    {"overlong slash, 6 bytes", "\xFC\x80\x80\x80\x80\xAF", u""},
    {"smallest of 6 bytes", "\xFC\x84\x80\x80\x80\x80", u""},
    {"byte FE", "\xFE", u""},
    {"byte FF", "\xFF", u""},
};

std::u16string LayerWide(const std::string& bytes, DWORD flags) {
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(CP_UTF8, flags, bytes.data(), length, nullptr, 0);
    std::u16string wide(static_cast<size_t>(size > 0 ? size : 0), u'\0');
    if (size > 0) {
        EXPECT_EQ(MultiByteToWideChar(CP_UTF8, flags, bytes.data(), length, &wide[0], size),
                  size);
    }
    return wide;
}

TEST(Utf8TextBoundary, EveryLengthAtItsEdgesReadsTheSameEverywhere) {
    for (const Sequence& s : kSequences) {
        SCOPED_TRACE(s.what);
        const bool wellFormed = !s.wide.empty();
        char32_t codePoint = 0;
        EXPECT_EQ(DecodeUtf8(s.bytes, 0, codePoint), wellFormed ? s.bytes.size() : 0u);
        EXPECT_EQ(LayerWide(s.bytes, MB_ERR_INVALID_CHARS), s.wide);
        std::string converted = "kept";
        EXPECT_EQ(FromUtf8(s.bytes, CP_UTF8, converted), wellFormed);
        if (wellFormed) {
            EXPECT_EQ(converted, s.bytes);
            EXPECT_EQ(ToUtf8(s.bytes.c_str(), CP_UTF8), s.bytes);
            continue;
        }
        // Without the strict flag each broken byte stands in as U+FFFD: an
        // overlong slash never turns into a path separator.
        const std::u16string lenient = LayerWide(s.bytes, 0);
        EXPECT_FALSE(lenient.empty());
        EXPECT_EQ(lenient.find_first_not_of(u'\uFFFD'), std::u16string::npos);
        const std::string shown = ToUtf8(s.bytes.c_str(), CP_UTF8);
        EXPECT_EQ(shown.find('/'), std::string::npos);
        for (size_t at = 0; at < shown.size(); at += 3)
            EXPECT_EQ(shown.substr(at, 3), "\xEF\xBF\xBD");
    }
}

TEST(Utf8TextBoundary, ACharacterCutAtEveryByteIsNotUtf8) {
    for (const Sequence& s : kSequences) {
        if (s.wide.empty())
            continue;
        for (size_t cut = 1; cut < s.bytes.size(); ++cut) {
            const std::string part = s.bytes.substr(0, cut);
            SCOPED_TRACE(std::string(s.what) + ", cut at " + std::to_string(cut));
            char32_t codePoint = 0;
            EXPECT_EQ(DecodeUtf8(part, 0, codePoint), 0u);
            EXPECT_EQ(LayerWide(part, MB_ERR_INVALID_CHARS), u"");
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
            // Followed by ASCII, the ASCII survives.
            EXPECT_EQ(LayerWide(part + "A", 0).back(), u'A');
        }
    }
}

TEST(Utf8TextBoundary, SurrogatePairsAtTheirEdgesBecomeFourBytes) {
    struct Case {
        std::u16string wide;
        std::string utf8;  // empty: refused with WC_ERR_INVALID_CHARS
    };
    const Case cases[] = {
        {u"\u007F", "\x7F"},
        {u"\u0080", "\xC2\x80"},
        {u"\u07FF", "\xDF\xBF"},
        {u"\u0800", "\xE0\xA0\x80"},
        {u"\uD7FF", "\xED\x9F\xBF"},
        {u"\uE000", "\xEE\x80\x80"},
        {u"\uFFFF", "\xEF\xBF\xBF"},
        {u"\xD800\xDC00", "\xF0\x90\x80\x80"},
        {u"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF"},
        {u"\xDBFF", ""},
        {u"\xDBFF\xDBFF\xDFFF", ""},
        {u"\xDFFF\xDBFF", ""},
        {u"\xD800\u0041", ""},
    };
    for (const Case& c : cases) {
        const int length = static_cast<int>(c.wide.size());
        std::string utf8(16, '\0');
        const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, c.wide.data(),
                                             length, &utf8[0], 16, nullptr, nullptr);
        utf8.resize(static_cast<size_t>(size));
        EXPECT_EQ(utf8, c.utf8) << testing::PrintToString(c.utf8);
    }
}

// Every control byte, every byte that cannot start UTF-8 and the sequences
// above, as JSON strings, read back by Python's own JSON reader.
TEST(Utf8TextBoundary, JsonStringsReadBackAsTheirText) {
    std::vector<std::string> texts;
    for (int byte = 0; byte < 0x20; ++byte)
        texts.push_back(std::string(1, static_cast<char>(byte)));
    for (int byte : {0x7F, 0x80, 0xBF, 0xC0, 0xC1, 0xF5, 0xF8, 0xFC, 0xFE, 0xFF})
        texts.push_back(std::string("a") + static_cast<char>(byte) + "z");
    for (const Sequence& s : kSequences)
        texts.push_back(s.bytes);

    std::string array = "[";
    for (const std::string& text : texts)
        array += (array.size() > 1 ? ", " : "") + JsonString(text);
    array += "]";
    const ProgramRun run = RunProgram(
        "/usr/bin/env",
        {"python3", "-c",
         "import json, sys\n"
         "for t in json.loads(sys.stdin.buffer.read().decode('utf-8', 'strict')):\n"
         "    print(' '.join('%x' % ord(c) for c in t))\n"},
        {{}, array, ""});
    ASSERT_EQ(run.status, 0) << run.err << " in: " << array;

    std::string expected;
    for (const std::string& text : texts) {
        std::string line;
        for (size_t at = 0; at < text.size();) {
            char32_t codePoint = 0;
            size_t length = DecodeUtf8(text, at, codePoint);
            // Each byte of a broken sequence stands in as U+FFFD of its own.
            if (length == 0) {
                codePoint = 0xFFFD;
                length = 1;
            }
            char hex[16];
            std::snprintf(hex, sizeof(hex), "%x", static_cast<unsigned>(codePoint));
            line += (line.empty() ? "" : " ") + std::string(hex);
            at += length;
        }
        expected += line + "\n";
    }
    EXPECT_EQ(run.out, expected);
}

}  // namespace
