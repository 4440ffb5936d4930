#include "platform/posix/text/CodePages.h"
#include "platform/posix/core/FaultInjection.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

class CodePages : public ::testing::Test {
protected:
    void SetUp() override {
        ansi_ = GetACP();
        oem_ = GetOEMCP();
        mvx::ClearFaults();
    }
    void TearDown() override {
        mvx::SetCodePages(ansi_, oem_);
        mvx::ClearFaults();
    }

private:
    UINT ansi_ = 0, oem_ = 0;
};

// Converts through the size query, as callers do, checking both answers agree.
std::u16string ToWide(UINT page, const std::string& bytes, DWORD flags = 0) {
    const int count = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(page, flags, bytes.data(), count, nullptr, 0);
    if (needed == 0) return u"<failed>";
    std::u16string wide(needed, u'\0');
    EXPECT_EQ(MultiByteToWideChar(page, flags, bytes.data(), count, &wide[0], needed), needed);
    return wide;
}

std::string ToBytes(UINT page, const std::u16string& wide, BOOL* used = nullptr,
                    const char* defaultChar = nullptr, DWORD flags = 0) {
    const int count = static_cast<int>(wide.size());
    const int needed =
        WideCharToMultiByte(page, flags, wide.data(), count, nullptr, 0, defaultChar, used);
    if (needed == 0) return "<failed>";
    std::string bytes(needed, '\0');
    EXPECT_EQ(WideCharToMultiByte(page, flags, wide.data(), count, &bytes[0], needed,
                                  defaultChar, used),
              needed);
    return bytes;
}

TEST_F(CodePages, SizeQueryWritesNothingAndShortBufferGetsNothing) {
    char16_t wide[8] = {u'#', u'#', u'#', u'#', u'#', u'#', u'#', u'#'};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xC3\xA9\xE2\x82\xAC", -1, wide, 0), 4);
    EXPECT_EQ(wide[0], u'#');
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xC3\xA9\xE2\x82\xAC", -1, wide, 3), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(wide[0], u'#');
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\xC3\xA9\xE2\x82\xAC", -1, wide, 4), 4);
    EXPECT_EQ(std::u16string(wide, 5), std::u16string(u"a\u00E9\u20AC\0#", 5));

    char bytes[8] = "#######";
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a\u00E9\u20AC", -1, nullptr, 0, nullptr,
                                  nullptr),
              7);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a\u00E9\u20AC", -1, bytes, 6, nullptr, nullptr),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(bytes[0], '#');
    // A counted input carries no terminator, and an embedded zero is a character.
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a\0b", 3, bytes, 8, nullptr, nullptr), 3);
    EXPECT_EQ(std::string(bytes, 4), std::string("a\0b#", 4));
}

TEST_F(CodePages, RefusesBadArgumentsAndUnknownPages) {
    char16_t wide[4];
    char bytes[4];
    BOOL used = FALSE;
    // The error of a call that must fail; 0 when it did not.
    auto toWide = [](UINT page, DWORD flags, const char* in, int count, char16_t* out, int size) {
        return MultiByteToWideChar(page, flags, in, count, out, size) == 0 ? GetLastError() : 0;
    };
    auto toBytes = [](UINT page, DWORD flags, const char16_t* in, int count, char* out, int size,
                      const char* defaultChar = nullptr, BOOL* usedDefault = nullptr) {
        const int result =
            WideCharToMultiByte(page, flags, in, count, out, size, defaultChar, usedDefault);
        return result == 0 ? GetLastError() : 0;
    };
    const DWORD invalid = ERROR_INVALID_PARAMETER;
    EXPECT_EQ(toWide(CP_UTF8, 0, nullptr, -1, wide, 4), invalid);
    EXPECT_EQ(toWide(CP_UTF8, 0, "a", 0, wide, 4), invalid);
    EXPECT_EQ(toWide(CP_UTF8, 0, "a", -2, wide, 4), invalid);
    EXPECT_EQ(toWide(CP_UTF8, 0, "a", 1, wide, -1), invalid);
    EXPECT_EQ(toWide(CP_UTF8, 0, "a", 1, nullptr, 4), invalid);
    EXPECT_EQ(toWide(12345, 0, "a", 1, wide, 4), invalid);
    EXPECT_EQ(toBytes(CP_UTF8, 0, nullptr, -1, bytes, 4), invalid);
    EXPECT_EQ(toBytes(CP_UTF8, 0, u"a", 0, bytes, 4), invalid);
    EXPECT_EQ(toBytes(CP_UTF8, 0, u"a", -3, bytes, 4), invalid);
    EXPECT_EQ(toBytes(CP_UTF8, 0, u"a", 1, bytes, 4, "?"), invalid);
    EXPECT_EQ(toBytes(CP_UTF8, 0, u"a", 1, bytes, 4, nullptr, &used), invalid);
    EXPECT_EQ(toBytes(2, 0, u"a", 1, bytes, 4), invalid);
    EXPECT_EQ(toWide(CP_UTF8, MB_PRECOMPOSED, "a", 1, wide, 4), ERROR_INVALID_FLAGS);
    EXPECT_EQ(toBytes(1252, WC_ERR_INVALID_CHARS, u"a", 1, bytes, 4), ERROR_INVALID_FLAGS);
}

TEST_F(CodePages, UnmappableCharactersBecomeTheDefaultCharacter) {
    BOOL used = TRUE;
    EXPECT_EQ(ToBytes(1252, u"abc", &used), "abc");
    EXPECT_FALSE(used);
    // One default per character: a surrogate pair is one character, a lone
    // surrogate is one unmappable unit.
    EXPECT_EQ(ToBytes(1252, u"a\u20AC\u0100\U0001F600\xD800", &used), "a\x80???");
    EXPECT_TRUE(used);
    EXPECT_EQ(ToBytes(1252, u"\u0100x", nullptr, "*"), "*x");
    EXPECT_EQ(ToBytes(932, u"\u0100", nullptr, "\x81\x48"), "\x81\x48");
    // The size query answers the question too.
    used = FALSE;
    EXPECT_EQ(WideCharToMultiByte(866, 0, u"\u00E9", 1, nullptr, 0, nullptr, &used), 1);
    EXPECT_TRUE(used);
}

TEST_F(CodePages, Utf8OutputReplacesLoneSurrogatesUnlessAskedToFail) {
    EXPECT_EQ(ToBytes(CP_UTF8, u"a\xD800" u"b\xDC00"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
    EXPECT_EQ(ToBytes(CP_UTF8, u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"a\xDC00", 2, nullptr, 0,
                                  nullptr, nullptr),
              0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST_F(CodePages, IllFormedUtf8InputBecomesReplacementCharacters) {
    const struct {
        const char* bytes;
        std::u16string wide;
    } cases[] = {
        {"\xC0\x80", u"\uFFFD\uFFFD"},                   // overlong
        {"\xE2\x82" "A", u"\uFFFD" "A"},                 // cut short: one per broken sequence
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},         // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xF0\x9F\x98\x80", u"\U0001F600"},
        {"a\xFF", u"a\uFFFD"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToWide(CP_UTF8, c.bytes), c.wide) << c.bytes;
        const bool wellFormed = c.wide.find(u'\uFFFD') == std::u16string::npos;
        EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, c.bytes, -1, nullptr, 0) != 0,
                  wellFormed);
        if (!wellFormed) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
        }
    }
}

TEST_F(CodePages, ShiftJisPairsWithBackslashTrailRoundTrip) {
    EXPECT_EQ(ToWide(932, "\x95\x5C" "a\xB1"), u"\u8868" "a\uFF71");
    EXPECT_EQ(ToBytes(932, u"\u8868" "a\uFF71"), "\x95\x5C" "a\xB1");
    char16_t wide[3];
    ASSERT_EQ(MultiByteToWideChar(932, 0, "\x95\x5C", -1, wide, 3), 2);
    EXPECT_EQ(wide[1], u'\0');
    // Of two codes for one character the IBM extension is written, as Windows does.
    EXPECT_EQ(ToWide(932, "\xED\x40\xFA\x5C"), u"\u7E8A\u7E8A");
    EXPECT_EQ(ToBytes(932, u"\u7E8A\u2170\u2160"), "\xFA\x5C\xFA\x40\x87\x54");
}

TEST_F(CodePages, ShiftJisNeverApproximatesOrSwallowsText) {
    BOOL used = FALSE;
    // The yen sign has no exact code: it must not become a path separator.
    EXPECT_EQ(ToBytes(932, u"\u00A5", &used), "?");
    EXPECT_TRUE(used);
    // An unassigned pair is one bad character; a lead byte without a trail
    // (before a non-trail byte or at the end) is one too, and the next byte stays.
    EXPECT_EQ(ToWide(932, "\x85\x40" "a\x81" "0\x81"), u"\uFFFD" "a\uFFFD" "0\uFFFD");
    EXPECT_EQ(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, "a\x81", 2, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
}

TEST_F(CodePages, SingleBytePagesCarryEveryByteBothWays) {
    for (UINT page : {437u, 850u, 852u, 866u, 1250u, 1251u, 1252u}) {
        for (int b = 1; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            char16_t wide = 0;
            ASSERT_EQ(MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, &byte, 1, &wide, 1), 1)
                << page << " " << b;
            BOOL used = TRUE;
            EXPECT_EQ(ToBytes(page, std::u16string(1, wide), &used), std::string(1, byte))
                << page << " " << b;
            EXPECT_FALSE(used);
        }
    }
    EXPECT_EQ(ToWide(437, "\x82\xB0"), u"\u00E9\u2591");
    EXPECT_EQ(ToWide(866, "\x80\xEF"), u"\u0410\u044F");
    EXPECT_EQ(ToWide(1252, "\x80\x81\xFF"), u"\u20AC\u0081\u00FF");
}

TEST_F(CodePages, CurrentPagesAndTheirAliases) {
    mvx::SetCodePages(1252, 866);
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_EQ(GetOEMCP(), 866u);
    mvx::SetCodePages(0, 437);
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_EQ(GetOEMCP(), 437u);
    mvx::SetCodePages(12345, 1);  // not pages the layer can convert: kept
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_EQ(GetOEMCP(), 437u);
    EXPECT_EQ(ToBytes(CP_ACP, u"\u00E9"), "\xE9");
    EXPECT_EQ(ToBytes(CP_OEMCP, u"\u00E9"), "\x82");
    EXPECT_EQ(ToWide(CP_OEMCP, "\x82"), u"\u00E9");
}

TEST_F(CodePages, LeadBytesFollowTheAnsiPage) {
    for (UINT page : {65001u, 1252u, 437u}) {
        mvx::SetCodePages(page, 0);
        for (int b = 0; b < 256; ++b) ASSERT_FALSE(IsDBCSLeadByte(static_cast<BYTE>(b))) << b;
    }
    EXPECT_TRUE(IsDBCSLeadByteEx(932, 0x81));
    EXPECT_FALSE(IsDBCSLeadByteEx(CP_ACP, 0x81));
    mvx::SetCodePages(932, 0);
    for (int b = 0; b < 256; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        EXPECT_EQ(IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE, lead) << b;
        EXPECT_EQ(IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(b)) != FALSE, lead) << b;
    }
    SetLastError(0);
    EXPECT_FALSE(IsDBCSLeadByteEx(12345, 0x81));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(CodePages, CharNextStepsOverWholeCharactersButNeverTheTerminator) {
    mvx::SetCodePages(932, 0);
    const char* text = "\x95\x5C\\";
    EXPECT_EQ(CharNextA(text), text + 2);
    EXPECT_EQ(CharNextA(text + 2), text + 3);
    EXPECT_EQ(CharNextA(text + 3), text + 3);
    const char* leadAtEnd = "a\x81";
    EXPECT_EQ(CharNextA(leadAtEnd + 1), leadAtEnd + 2);
    const char* leadBeforeDigit = "\x81" "0";
    EXPECT_EQ(CharNextA(leadBeforeDigit), leadBeforeDigit + 1);

    mvx::SetCodePages(CP_UTF8, 0);
    const char* utf8 = "\xE2\x82\xAC" "x\xE2\x82" "y\xE2";
    EXPECT_EQ(CharNextA(utf8), utf8 + 3);
    EXPECT_EQ(CharNextA(utf8 + 4), utf8 + 6);  // broken sequence ends before y
    EXPECT_EQ(CharNextA(utf8 + 7), utf8 + 8);  // cut by the terminator

    mvx::SetCodePages(1252, 0);
    EXPECT_EQ(CharNextA(text), text + 1);
}

TEST_F(CodePages, LayerConversionsFailRatherThanGuess) {
    std::u16string wide = u"kept";
    EXPECT_TRUE(mvx::Utf8ToUtf16("a\xF0\x9F\x98\x80", wide));
    EXPECT_EQ(wide, u"a\U0001F600");
    for (const char* bad : {"\xC0\x80", "a\xE2\x82", "\xED\xA0\x80", "\xFF"}) {
        wide = u"kept";
        EXPECT_FALSE(mvx::Utf8ToUtf16(bad, wide)) << bad;
        EXPECT_EQ(wide, u"kept");
    }
    std::string utf8 = "kept";
    EXPECT_FALSE(mvx::Utf16ToUtf8(u"a\xD800", utf8));
    EXPECT_FALSE(mvx::Utf16ToUtf8(u"\xDC00" "a", utf8));
    EXPECT_EQ(utf8, "kept");
    EXPECT_TRUE(mvx::Utf16ToUtf8(u"\u8868\U0001F600", utf8));
    EXPECT_EQ(utf8, "\xE8\xA1\xA8\xF0\x9F\x98\x80");

    std::string text = "kept";
    EXPECT_TRUE(mvx::CodePageToUtf8(932, "\x95\x5C.txt", text));
    EXPECT_EQ(text, "\xE8\xA1\xA8.txt");
    EXPECT_TRUE(mvx::Utf8ToCodePage(932, "\xE8\xA1\xA8.txt", text));
    EXPECT_EQ(text, "\x95\x5C.txt");
    text = "kept";
    EXPECT_FALSE(mvx::CodePageToUtf8(932, "\x85\x40", text));
    EXPECT_FALSE(mvx::Utf8ToCodePage(932, "\xC2\xA5", text));  // the yen sign
    EXPECT_FALSE(mvx::Utf8ToCodePage(1252, "\xC4\x80", text));
    EXPECT_FALSE(mvx::Utf8ToCodePage(1252, "\xE2\x82", text));
    EXPECT_FALSE(mvx::CodePageToUtf8(12345, "a", text));
    EXPECT_EQ(text, "kept");
    // A Linux name that is not UTF-8 still names its file.
    mvx::SetCodePages(CP_UTF8, 1252);
    EXPECT_TRUE(mvx::CodePageToUtf8(CP_ACP, "\xFF\xFE", text));
    EXPECT_EQ(text, "\xFF\xFE");
    EXPECT_TRUE(mvx::CodePageToUtf8(CP_OEMCP, "\xE9", text));
    EXPECT_EQ(text, "\xC3\xA9");
}

TEST_F(CodePages, InjectedFaultsFailTheCallAndTouchNothing) {
    char bytes[4] = "##";
    BOOL used = TRUE;
    mvx::InjectFault("WideCharToMultiByte", 2, ERROR_OUTOFMEMORY);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"a", 1, bytes, 4, nullptr, &used), 1);
    bytes[0] = '#';
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"\u0100", 1, bytes, 4, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OUTOFMEMORY));
    EXPECT_EQ(bytes[0], '#');
    EXPECT_FALSE(used);
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"a", 1, bytes, 4, nullptr, &used), 1);

    char16_t wide[2] = {u'#', u'#'};
    mvx::InjectFault("MultiByteToWideChar", 1, ERROR_INVALID_DATA);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a", 1, wide, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(wide[0], u'#');
    mvx::InjectFault("IsDBCSLeadByteEx", 1, ERROR_INVALID_DATA);
    EXPECT_FALSE(IsDBCSLeadByteEx(932, 0x81));
    EXPECT_TRUE(IsDBCSLeadByteEx(932, 0x81));
}

// The pages are read from the environment once, on first use: each case runs
// in a fresh copy of this program.
class CodePagesFromEnvironment : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
    void TearDown() override {
        unsetenv("MORVEX_ACP");
        unsetenv("MORVEX_OEMCP");
    }
};

TEST_F(CodePagesFromEnvironment, NamedPagesAreUsed) {
    setenv("MORVEX_ACP", "932", 1);
    setenv("MORVEX_OEMCP", "866", 1);
    EXPECT_EXIT(std::exit(GetACP() == 932 && GetOEMCP() == 866 && IsDBCSLeadByte(0x81) ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
}

TEST_F(CodePagesFromEnvironment, UnsupportedPagesAreReportedAndUtf8Used) {
    setenv("MORVEX_ACP", "12345", 1);
    setenv("MORVEX_OEMCP", "", 1);
    EXPECT_EXIT(std::exit(GetACP() == CP_UTF8 && GetOEMCP() == CP_UTF8 ? 0 : 1),
                ::testing::ExitedWithCode(0), "MORVEX_ACP=12345: code page not supported");
}

}  // namespace
