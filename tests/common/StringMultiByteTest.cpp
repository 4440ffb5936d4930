#include "common/StringBase.h"

#include <gtest/gtest.h>

#include "platform/posix/text/CodePages.h"
#include "tests/common/Thrown.h"

namespace {

typedef CStringBase<char> CString;

// In code page 932, 0x95 0x5C is one character whose trail byte is the code
// of a backslash, and 0x81 0x40 is the ideographic space.
const char kTable[] = "\x95\x5C";
const char kIdeographicSpace[] = "\x81\x40";

// Runs each test under the Japanese ANSI page and restores the pages after.
class ShiftJisStringTest : public testing::Test {
protected:
    void SetUp() override {
        savedAnsi = GetACP();
        savedOem = GetOEMCP();
        mvx::SetCodePages(932, 932);
        ASSERT_EQ(GetACP(), 932u);
    }
    void TearDown() override { mvx::SetCodePages(savedAnsi, savedOem); }

    static CString Text(std::initializer_list<const char*> pieces) {
        CString text;
        for (const char* piece : pieces)
            text.Append(piece);
        return text;
    }

    UINT savedAnsi = 0;
    UINT savedOem = 0;
};

TEST_F(ShiftJisStringTest, ATrailByteIsNeverTakenForABackslash) {
    CString name = Text({"a", kTable, "b"});
    EXPECT_EQ(name.FindChar('\\'), -1);
    EXPECT_EQ(name.FindLastChar('\\'), -1);
    // Even a start inside the double-byte character finds nothing there.
    EXPECT_EQ(name.FindChar('\\', 2), -1);
    EXPECT_EQ(name.FindChar('b', 2), 3);

    CString path = Text({"D:\\", kTable, "\\", kTable, ".txt"});
    EXPECT_EQ(path.FindChar('\\'), 2);
    EXPECT_EQ(path.FindChar('\\', 3), 5);
    EXPECT_EQ(path.FindLastChar('\\'), 5);

    CString endsInTrail = Text({"dir\\", kTable});
    EXPECT_EQ(endsInTrail.FindLastChar('\\'), 3);
}

TEST_F(ShiftJisStringTest, TrimmingKeepsDoubleByteCharactersWhole) {
    CString padded = Text({" \t", kIdeographicSpace, kTable, kIdeographicSpace, " \n "});
    padded.TrimLeft();
    padded.TrimRight();
    EXPECT_STREQ(padded.Ptr(), Text({kIdeographicSpace, kTable, kIdeographicSpace}).Ptr());
    EXPECT_EQ(padded.Length(), 6);

    CString trailing = Text({"x", kTable, " "});
    trailing.TrimRight();
    EXPECT_EQ(trailing.Length(), 3);
    EXPECT_EQ(trailing.CharAt(2), '\x5C');
}

TEST_F(ShiftJisStringTest, ALeadByteCutOffByTheEndStaysInsideTheText) {
    CString cut = Text({"ab\x95"});
    EXPECT_EQ(cut.FindChar('\\'), -1);
    EXPECT_EQ(cut.FindLastChar('\x95'), 2);
    cut.TrimLeft();
    cut.TrimRight();
    EXPECT_EQ(cut.Length(), 3);
    EXPECT_EQ(cut.CharAt(3), 0);

    CString blanksThenLead = Text({"  \x95"});
    blanksThenLead.TrimLeft();
    EXPECT_EQ(blanksThenLead.Length(), 1);
    EXPECT_EQ(blanksThenLead.CharAt(0), '\x95');
}

TEST_F(ShiftJisStringTest, LeadBytesFollowTheCurrentAnsiPage) {
    CString name = Text({"a", kTable});
    ASSERT_EQ(name.FindChar('\\'), -1);
    // In code page 1252 the same bytes are a bullet and a backslash.
    mvx::SetCodePages(1252, 0);
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(name.FindChar('\\'), 2);
    EXPECT_EQ(name.FindLastChar('\\'), 2);
}

}  // namespace
