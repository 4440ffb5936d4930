#include "common/StringBase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tests/common/Thrown.h"

namespace {

typedef CStringBase<char> CString;

// The distinct capacities a default string passes through while 228
// characters are appended one at a time.
template <typename T>
std::vector<int> CapacitiesWhileAppending() {
    CStringBase<T> text;
    std::vector<int> seen{text.Capacity()};
    for (int i = 0; i < 228; ++i) {
        text.Append(static_cast<T>('a' + i % 26));
        if (text.Capacity() != seen.back())
            seen.push_back(text.Capacity());
    }
    return seen;
}

// The capacity after one character more than a buffer of `capacity` holds
// (terminator included) is appended.
int CapacityAfterOverflowing(int capacity) {
    CString text;
    text.Reserve(capacity - 1);
    for (int i = 0; i < capacity; ++i)
        text.Append('x');
    return text.Capacity();
}

TEST(StringGrowth, AppendsFollowTheGrowthSteps) {
    const std::vector<int> expected{16, 33, 50, 67, 101, 152, 229};
    EXPECT_EQ(CapacitiesWhileAppending<char>(), expected);
    EXPECT_EQ(CapacitiesWhileAppending<WCHAR>(), expected);

    EXPECT_EQ(CapacityAfterOverflowing(8), 8 + 4 + 1);
    EXPECT_EQ(CapacityAfterOverflowing(9), 9 + 16 + 1);
    EXPECT_EQ(CapacityAfterOverflowing(64), 64 + 16 + 1);
    EXPECT_EQ(CapacityAfterOverflowing(65), 65 + 32 + 1);
}

TEST(StringGrowth, ABigAppendGrowsByAtLeastWhatItNeeds) {
    CString twenty;
    twenty.Append("abcdefghijklmnopqrst");
    EXPECT_EQ(twenty.Capacity(), 33);
    EXPECT_STREQ(twenty.Ptr(), "abcdefghijklmnopqrst");

    CString forty;
    forty.Append(CString("0123456789012345678901234567890123456789"));
    EXPECT_EQ(forty.Capacity(), 42);
    EXPECT_EQ(forty.Length(), 40);
}

TEST(StringSizing, ValuesThatArePassedOnAreSizedExactly) {
    EXPECT_EQ(CString().Capacity(), 16);
    EXPECT_EQ(CString("report.txt").Capacity(), 11);

    CString big;
    for (int i = 0; i < 228; ++i)
        big.Append('z');
    big.OpenBuffer(0)[120] = 0;
    big.CloseBuffer();
    ASSERT_EQ(big.Capacity(), 229);
    CString copy(big);
    EXPECT_EQ(copy.Capacity(), 121);
    EXPECT_EQ(copy.Length(), 120);

    CString joined = Concat(CString("D:\\dir"), '\\');
    EXPECT_STREQ(joined.Ptr(), "D:\\dir\\");
    EXPECT_EQ(joined.Capacity(), 8);
    EXPECT_EQ(Concat(joined, CString("report.txt")).Capacity(), 18);

    CString target("short");
    target = "a considerably longer text";
    EXPECT_EQ(target.Capacity(), 27);
    target = CString("tiny");
    EXPECT_EQ(target.Capacity(), 5);
    CString& self = target;
    target = self;
    EXPECT_STREQ(target.Ptr(), "tiny");

    copy = target;
    copy.Append('!');
    EXPECT_STREQ(target.Ptr(), "tiny");
}

TEST(StringSizing, TextFromTheStringsOwnBufferSurvivesRegrowth) {
    CString text("D:\\dir\\report.txt");
    text = text.Ptr() + 7;
    EXPECT_STREQ(text.Ptr(), "report.txt");
    EXPECT_EQ(text.Capacity(), 11);

    text.Append(text.Ptr());
    EXPECT_STREQ(text.Ptr(), "report.txtreport.txt");
    text.Append(text);
    EXPECT_STREQ(text.Ptr(), "report.txtreport.txtreport.txtreport.txt");
}

TEST(StringReserve, ChecksItsLimitsAndLeavesTheStringAsItWas) {
    CString text("0123456789");
    EXPECT_EQ(ThrownText([&] { text.Reserve(9); }), "String: Capacity error");
    EXPECT_EQ(ThrownText([&] { text.Reserve(kMaxArrayCapacity + 1); }),
              "String: Capacity error");
    EXPECT_EQ(ThrownText([&] { text.Reserve(-1); }), "String: Capacity error");
    EXPECT_EQ(text.Capacity(), 11);
    EXPECT_STREQ(text.Ptr(), "0123456789");

    text.Reserve(100);
    EXPECT_EQ(text.Capacity(), 101);
    text.Reserve(10);
    EXPECT_EQ(text.Capacity(), 11);
    EXPECT_STREQ(text.Ptr(), "0123456789");

    EXPECT_EQ(ThrownText([&] { text.Reserve(kMaxArrayCapacity); }), "(nothing)");
    EXPECT_EQ(text.Capacity(), kMaxArrayCapacity + 1);
    EXPECT_STREQ(text.Ptr(), "0123456789");
}

TEST(StringSubstring, CutsWithinTheTextAndChecksItsStart) {
    CString text("abcde");
    EXPECT_STREQ(text.Substring(1, 3).Ptr(), "bcd");
    EXPECT_EQ(text.Substring(1, 3).Capacity(), 4);
    EXPECT_EQ(text.Substring(0, 99).Capacity(), 6);
    EXPECT_STREQ(text.Substring(3, 0x7fffffff).Ptr(), "de");
    EXPECT_EQ(text.Substring(5, 5).Length(), 0);
    EXPECT_STREQ(text.SubstringFrom(2).Ptr(), "cde");
    EXPECT_STREQ(text.Prefix(2).Ptr(), "ab");

    EXPECT_EQ(ThrownText([&] { text.Substring(6, 0); }), "String: Index Error");
    EXPECT_EQ(ThrownText([&] { text.Substring(-1, 0); }), "String: Index Error");
    EXPECT_EQ(ThrownText([&] { text.SubstringFrom(6); }), "String: Index Error");
    EXPECT_EQ(ThrownText([&] { text.Substring(2, -1); }), "String: Capacity error");
    EXPECT_EQ(ThrownText([&] { text.Prefix(-1); }), "String: Capacity error");

    EXPECT_EQ(text.CharAt(4), 'e');
    EXPECT_EQ(text.CharAt(5), 0);
    EXPECT_EQ(ThrownText([&] { text.CharAt(6); }), "String: Index Error");
    EXPECT_EQ(ThrownText([&] { text.CharAt(-1); }), "String: Index Error");
}

TEST(StringSearch, FindsSingleCharactersFromBothEnds) {
    CString path("D:\\dir\\report.txt");
    EXPECT_EQ(path.FindChar('\\'), 2);
    EXPECT_EQ(path.FindChar('\\', 2), 2);
    EXPECT_EQ(path.FindChar('\\', 3), 6);
    EXPECT_EQ(path.FindChar('\\', 7), -1);
    EXPECT_EQ(path.FindLastChar('\\'), 6);
    EXPECT_EQ(path.FindLastChar('?'), -1);
    EXPECT_EQ(path.FindChar('t', path.Length()), -1);
    EXPECT_EQ(ThrownText([&] { path.FindChar('x', -1); }), "String: Index Error");
    EXPECT_EQ(ThrownText([&] { path.FindChar('x', path.Length() + 1); }),
              "String: Index Error");
}

TEST(StringTrim, RemovesSpacesTabsAndLineFeedsOnly) {
    CString blanks(" \t\n \n\t ");
    const char* buffer = blanks.Ptr();
    blanks.TrimLeft();
    EXPECT_EQ(blanks.Length(), 0);
    EXPECT_EQ(blanks.Ptr(), buffer);
    CString blanksRight(" \t\n ");
    blanksRight.TrimRight();
    EXPECT_EQ(blanksRight.Length(), 0);
    EXPECT_EQ(blanksRight.CharAt(0), 0);

    CString returns("\r \tname\t \r");
    returns.TrimLeft();
    returns.TrimRight();
    EXPECT_STREQ(returns.Ptr(), "\r \tname\t \r");

    CString padded("\t two words \n");
    padded.TrimLeft();
    EXPECT_STREQ(padded.Ptr(), "two words \n");
    padded.TrimRight();
    EXPECT_STREQ(padded.Ptr(), "two words");
    EXPECT_EQ(padded.Length(), 9);
    EXPECT_EQ(padded.Capacity(), 14);
}

TEST(StringBuffer, CloseTakesTheLengthUpToTheFirstZero) {
    CString name("old");
    char* buffer = name.OpenBuffer(2);
    EXPECT_EQ(name.Capacity(), 4);
    std::strcpy(buffer, "ab");
    name.CloseBuffer();
    EXPECT_STREQ(name.Ptr(), "ab");

    buffer = name.OpenBuffer(260);
    EXPECT_EQ(name.Capacity(), 261);
    std::strcpy(buffer, "C:\\Windows\\system32");
    name.CloseBuffer();
    EXPECT_EQ(name.Length(), 19);
}

TEST(StringBuffer, CloseWithoutAnyTerminatorRaisesTheErrorNumber) {
    CString name("abc");
    char* buffer = name.OpenBuffer(7);
    std::memset(buffer, 'x', name.Capacity());
    EXPECT_EQ(ThrownNumber([&] { name.CloseBuffer(); }), 282217u);
    EXPECT_EQ(name.Length(), 3);

    buffer[name.Capacity() - 1] = 0;
    name.CloseBuffer();
    EXPECT_EQ(name.Length(), 7);
}

TEST(StringCompare, ComparesUnsignedCharacterCodes) {
    CString name("notes");
    EXPECT_TRUE(name == "notes");
    EXPECT_TRUE(name == CString("notes"));
    EXPECT_TRUE(name != "note");
    EXPECT_LT(name.Compare("notes2"), 0);
    EXPECT_GT(name.Compare("note"), 0);
    EXPECT_LT(CString("z").Compare("\x81"), 0);
}

TEST(WideString, FindsAndCutsInSixteenBitUnits) {
    CWideString name(u":notes:$DATA:more:$DATA");
    EXPECT_EQ(name.Find(CWideString(u":$DATA")), 6);
    EXPECT_EQ(name.Find(CWideString(u":$DATA"), 7), 17);
    EXPECT_EQ(name.Find(CWideString(u":$DATA"), 18), -1);
    EXPECT_EQ(name.Find(CWideString(u"")), 0);
    EXPECT_EQ(ThrownText([&] { name.Find(CWideString(u"x"), -1); }), "String: Index Error");
    EXPECT_EQ(ThrownText([&] { name.Find(CWideString(u"x"), name.Length() + 1); }),
              "String: Index Error");

    CWideString bare = name.Substring(1, 5);
    EXPECT_EQ(bare.Capacity(), 6);
    EXPECT_TRUE(Concat(bare, CWideString(u"\x00e9")) == u"notes\x00e9");
    EXPECT_EQ(ThrownText([&] { name.Substring(24, 0); }), "String: Index Error");
}

}  // namespace
