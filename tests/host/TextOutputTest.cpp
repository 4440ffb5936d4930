// The forms text takes on its way out of the morvex program: UTF-8 decoded,
// JSON strings, escapes and charsets for the terminal, sizes for people, and
// the columns of a listing.
#include <gtest/gtest.h>

#include <clocale>
#include <sstream>
#include <string>
#include <vector>

#include "host/listing/ListingOutput.h"
#include "host/text/JsonText.h"
#include "host/text/SizeText.h"
#include "host/text/TerminalText.h"
#include "host/text/Utf8Text.h"

namespace {

// The program's charset and widths for one test, as a UTF-8 locale gives them.
struct Utf8Locale {
    Utf8Locale() : saved(std::setlocale(LC_CTYPE, nullptr)) { std::setlocale(LC_CTYPE, "C.UTF-8"); }
    ~Utf8Locale() { std::setlocale(LC_CTYPE, saved.c_str()); }
    std::string saved;
};

TEST(TextOutput, Utf8IsDecodedOnlyWhenWellFormed) {
    struct Case {
        std::string bytes;
        size_t length;  // 0: not UTF-8
        char32_t codePoint;
    };
    const Case cases[] = {
        {"\x7F", 1, 0x7F},
        {"\xC2\x80", 2, 0x80},
        {"\xDF\xBF", 2, 0x7FF},
        {"\xE0\xA0\x80", 3, 0x800},
        {"\xED\x9F\xBF", 3, 0xD7FF},
        {"\xED\xA0\x80", 0, 0},  // a surrogate
        {"\xEE\x80\x80", 3, 0xE000},
        {"\xF0\x90\x80\x80", 4, 0x10000},
        {"\xF4\x8F\xBF\xBF", 4, 0x10FFFF},
        {"\xF4\x90\x80\x80", 0, 0},  // past U+10FFFF
        {"\xC1\xBF", 0, 0},          // overlong forms
        {"\xE0\x9F\xBF", 0, 0},
        {"\xF0\x8F\xBF\xBF", 0, 0},
        {"\x80", 0, 0},  // stray bytes
        {"\xE2\x82", 0, 0},  // cut short
    };
    for (const Case& c : cases) {
        char32_t codePoint = 0;
        EXPECT_EQ(DecodeUtf8(c.bytes, 0, codePoint), c.length) << testing::PrintToString(c.bytes);
        if (c.length != 0) {
            EXPECT_EQ(codePoint, c.codePoint);
        }
    }
}

TEST(TextOutput, JsonStringsAreValidJsonInValidUtf8) {
    // Every single byte: a control character escaped, one that is not UTF-8
    // replaced, any other kept.
    for (int byte = 0; byte < 256; ++byte) {
        const std::string json = JsonString(std::string(1, static_cast<char>(byte)));
        SCOPED_TRACE(byte);
        if (byte < 0x20 || byte == 0x7F) {
            EXPECT_EQ(json[1], '\\');
        } else if (byte >= 0x80) {
            EXPECT_EQ(json, "\"\xEF\xBF\xBD\"");
        }
        for (char c : json)
            EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F);
    }
    struct Case {
        std::string text, json;
    };
    const Case cases[] = {
        {std::string("a\0b", 3), "\"a\\u0000b\""},
        {"\x1F\x20\x7E\x7F", "\"\\u001f ~\\u007f\""},
        {"\t\n\r\"\\", "\"\\t\\n\\r\\\"\\\\\""},
        {"caf\xC3\xA9 \xF0\x9F\x98\x80", "\"caf\xC3\xA9 \xF0\x9F\x98\x80\""},
        {"\xC3(\xED\xA0\x80", "\"\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JsonString(c.text), c.json);
}

TEST(TextOutput, TheTerminalGetsEscapesForWhatItCannotShow) {
    struct Case {
        const char* codeset;
        std::string text;
        std::string escaped;
        std::string encoded;  // the bytes for the terminal
    };
    const Case cases[] = {
        {"UTF-8", "plain ~", "plain ~", "plain ~"},
        {"UTF-8", "\t\n\r\x01\x1F\x7F", "\\t\\n\\r\\x01\\x1f\\x7f", "\\t\\n\\r\\x01\\x1f\\x7f"},
        {"UTF-8", "\x1B[31mred", "\\x1b[31mred", "\\x1b[31mred"},
        // C1 controls act on terminals too; U+00A0 after them is text.
        {"UTF-8", "\xC2\x80\xC2\x9B\xC2\xA0", "\\u0080\\u009b\xC2\xA0", "\\u0080\\u009b\xC2\xA0"},
        {"UTF-8", "\xFF\xC0\x80 \xE2\x82", "\\xff\\xc0\\x80 \\xe2\\x82",
         "\\xff\\xc0\\x80 \\xe2\\x82"},
        {"UTF-8", "caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\xC3\xA9 \xF0\x9F\x98\x80",
         "caf\xC3\xA9 \xF0\x9F\x98\x80"},
        {"ISO-8859-1", "caf\xC3\xA9 \xE2\x82\xAC\t", "caf\xC3\xA9 \\u20ac\\t",
         "caf\xE9 \\u20ac\\t"},
        {"ISO-8859-1", "\xC3\xBF\xC2\xA0", "\xC3\xBF\xC2\xA0", "\xFF\xA0"},
        {"KOI8-R", "\xD0\x9F caf\xC3\xA9", "\xD0\x9F caf\\u00e9", "\xF0 caf\\u00e9"},
        {"ANSI_X3.4-1968", "caf\xC3\xA9 \xF0\x9F\x98\x80", "caf\\u00e9 \\U0001f600",
         "caf\\u00e9 \\U0001f600"},
        {"no-such-charset", "caf\xC3\xA9", "caf\\u00e9", "caf\\u00e9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.codeset) + ": " + testing::PrintToString(c.text));
        TerminalCharset charset(c.codeset);
        EXPECT_EQ(charset.Escape(c.text), c.escaped);
        EXPECT_EQ(charset.Show(c.text), c.encoded);
    }
}

TEST(TextOutput, WhatTheUserTypesIsReadInTheTerminalsCharset) {
    struct Case {
        const char* codeset;
        std::string typed;
        bool read;
        std::string utf8;
    };
    const Case cases[] = {
        {"UTF-8", "D:\\caf\xC3\xA9\\", true, "D:\\caf\xC3\xA9\\"},
        {"UTF-8", "caf\xE9", false, ""},
        {"ISO-8859-1", "caf\xE9", true, "caf\xC3\xA9"},
        {"ANSI_X3.4-1968", "caf\xE9", false, ""},
    };
    for (const Case& c : cases) {
        std::string utf8;
        EXPECT_EQ(TerminalCharset(c.codeset).Read(c.typed, utf8), c.read) << c.codeset;
        if (c.read) {
            EXPECT_EQ(utf8, c.utf8) << c.codeset;
        }
    }
}

TEST(TextOutput, SizesAreShownAsLsShowsThem) {
    struct Case {
        uint64_t bytes;
        const char* shown;
    };
    const uint64_t K = 1024, M = K * K, G = M * K, E = G * G;
    const Case cases[] = {
        {0, "0"},           {1023, "1023"},         {K, "1.0K"},         {K + 1, "1.1K"},
        {1536, "1.5K"},     {10 * K - 1, "10K"},    {10 * K, "10K"},     {10 * K + 1, "11K"},
        {M - 1, "1.0M"},    {M, "1.0M"},            {M + 1, "1.1M"},     {1023 * M, "1023M"},
        {1023 * M + 1, "1.0G"}, {2 * G, "2.0G"},    {E, "1.0E"},         {UINT64_MAX, "16E"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HumanSize(c.bytes), c.shown) << c.bytes;
}

TEST(TextOutput, ListingColumnsAreAsWideAsTheirWidestValue) {
    Utf8Locale locale;
    struct Case {
        const char* what;
        std::vector<ListedStream> streams;
        bool human;
        const char* codeset;
        std::string lines;  // after the title
    };
    const auto data = [](unsigned index, uint64_t size, std::string name, const char* kind) {
        return ListedStream{index, size, std::move(name),
                            kind ? std::optional<std::string>(kind) : std::nullopt};
    };
    const Case cases[] = {
        {"one digit", {data(0, 5, "{Data}", "Standard data")}, false, "UTF-8",
         "0  5  {Data}  Standard data\n"},
        {"ten items, sizes of one to five digits",
         {data(9, 12345, "a", "x"), data(10, 1, "bb", nullptr), data(11, 123, "c", "y")}, false,
         "UTF-8", " 9  12345  a   x\n10      1  bb\n11    123  c   y\n"},
        {"human units", {data(0, 1023, "a", "x"), data(1, 1025, "b", "y")}, true, "UTF-8",
         "0  1023  a  x\n1  1.1K  b  y\n"},
        {"wide and escaped names take their columns",
         {data(0, 1, "\xE6\x97\xA5\xE6\x9C\xAC", "x"), data(1, 2, "t\tb", "y"),
          data(2, 3, "abcde", "z")},
         false, "UTF-8",
         "0  1  \xE6\x97\xA5\xE6\x9C\xAC   x\n1  2  t\\tb   y\n2  3  abcde  z\n"},
        {"a charset without the characters",
         {data(0, 1, "caf\xC3\xA9", "x"), data(1, 2, "abcdefghij", "y")}, false,
         "ANSI_X3.4-1968", "0  1  caf\\u00e9   x\n1  2  abcdefghij  y\n"},
        {"a charset with them", {data(0, 1, "caf\xC3\xA9", "x"), data(1, 2, "abcde", "y")},
         false, "ISO-8859-1", "0  1  caf\xE9   x\n1  2  abcde  y\n"},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        WriteListingText({"MORVEX:f\x07", "Z:\\f", c.streams}, c.human, TerminalCharset(c.codeset),
                         out);
        EXPECT_EQ(out.str(), "MORVEX:f\\x07\n" + c.lines) << c.what;
    }
}

}  // namespace
