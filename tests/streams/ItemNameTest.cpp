#include "streams/ItemName.h"

#include <gtest/gtest.h>

#include <string>

#include "common/ErrorNumbers.h"
#include "platform/posix/text/CodePages.h"
#include "platform/posix/core/FaultInjection.h"
#include "streams/StreamKind.h"
#include "streams/StreamName.h"
#include "tests/common/Thrown.h"

namespace {

typedef CStringBase<char> CString;

CWideString Wide(const std::u16string& text) {
    CWideString wide;
    for (char16_t c : text)
        wide.Append(static_cast<WCHAR>(c));
    return wide;
}

std::string ItemNameOf(DWORD kindId, const std::string& streamName) {
    CString itemName;
    MakeItemName(kindId, CString(streamName.c_str()), itemName);
    // Measured before it is written: one buffer, of the name's exact size
    // and its terminator.
    EXPECT_EQ(itemName.Capacity(), itemName.Length() + 1) << streamName;
    return itemName.Ptr();
}

// The kind id and stream name an item name stands for, as "id:name".
std::string Parsed(const std::string& itemName) {
    CString streamName;
    DWORD kindId = ParseItemName(CString(itemName.c_str()), streamName);
    return std::to_string(kindId) + ":" + streamName.Ptr();
}

std::string ParseError(const std::string& itemName) {
    return ThrownText([&] {
        CString streamName;
        ParseItemName(CString(itemName.c_str()), streamName);
    });
}

class StreamNameTest : public testing::Test {
protected:
    void SetUp() override {
        savedAnsi = GetACP();
        savedOem = GetOEMCP();
        mvx::ClearFaults();
    }
    void TearDown() override {
        mvx::SetCodePages(savedAnsi, savedOem);
        mvx::ClearFaults();
    }

    UINT savedAnsi = 0;
    UINT savedOem = 0;
};

TEST(StreamKindTest, LooksUpTheNineIdsInTableOrder) {
    for (DWORD id = 1; id <= 9; ++id)
        EXPECT_EQ(FindStreamKind(id), static_cast<int>(id) - 1);
    EXPECT_EQ(FindStreamKind(0), -1);
    EXPECT_EQ(FindStreamKind(10), -1);
    EXPECT_STREQ(StreamKindDescription(8), "Sparse file");
}

TEST_F(StreamNameTest, StripsTheColonAndTheDataSuffix) {
    EXPECT_STREQ(MakeStreamName(Wide(u":report:$DATA")).Ptr(), "report");
    EXPECT_STREQ(MakeStreamName(Wide(u":report")).Ptr(), "report");
    EXPECT_STREQ(MakeStreamName(Wide(u":a:$DATA:tail")).Ptr(), "a");
    // Only the exact suffix is stripped.
    EXPECT_STREQ(MakeStreamName(Wide(u":a:$data")).Ptr(), "a:$data");
    EXPECT_STREQ(MakeStreamName(Wide(u"")).Ptr(), "");
}

TEST_F(StreamNameTest, ANameThatIsOnlyColonAndSuffixIsEmpty) {
    EXPECT_STREQ(MakeStreamName(Wide(u"::$DATA")).Ptr(), "");
    EXPECT_STREQ(MakeStreamName(Wide(u":")).Ptr(), "");
    EXPECT_EQ(mvx::CallCount("WideCharToMultiByte"), 0u);
}

TEST_F(StreamNameTest, CharactersOfThreeUtf8BytesFitTheName) {
    mvx::SetCodePages(0, CP_UTF8);
    // Two characters that need six bytes, more than twice their count.
    EXPECT_STREQ(MakeStreamName(Wide(u":\u4E2D\u6587:$DATA")).Ptr(), "\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_STREQ(MakeStreamName(Wide(u"\U0001F600")).Ptr(), "\xF0\x9F\x98\x80");
}

TEST_F(StreamNameTest, ANameLongerThanAnyOnNtfsConvertsWhole) {
    mvx::SetCodePages(0, CP_UTF8);
    const std::string converted = MakeStreamName(Wide(std::u16string(3000, u'\u4E2D'))).Ptr();
    EXPECT_EQ(converted.size(), 9000u);
    EXPECT_EQ(converted.substr(8997), "\xE4\xB8\xAD");
}

TEST_F(StreamNameTest, ConvertsToTheOemPage) {
    mvx::SetCodePages(0, 437);
    EXPECT_STREQ(MakeStreamName(Wide(u":caf\u00E9:$DATA")).Ptr(), "caf\x82");
    // No OEM equivalent: the default character stands in.
    EXPECT_STREQ(MakeStreamName(Wide(u":\u4E2D")).Ptr(), "?");
}

TEST_F(StreamNameTest, AFailedConversionRaisesItsNumber) {
    mvx::InjectFault("WideCharToMultiByte", 1, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ThrownNumber([] { MakeStreamName(Wide(u":notes:$DATA")); }),
              kErrorStreamNameConversion);
    mvx::InjectFault("WideCharToMultiByte", 1, ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(ThrownNumber([] { MakeStreamName(Wide(u":notes:$DATA")); }),
              kErrorStreamNameConversion);
    EXPECT_STREQ(MakeStreamName(Wide(u":notes:$DATA")).Ptr(), "notes");
}

TEST(ItemNameTest, MarksEveryKindButAlternateStreams) {
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "report"), "report");
    EXPECT_EQ(ItemNameOf(BACKUP_DATA, ""), "{Data}");
    EXPECT_EQ(ItemNameOf(BACKUP_DATA, "x"), "{Data}x");

    CString itemName("old");
    EXPECT_EQ(MakeItemName(BACKUP_REPARSE_DATA, CString(""), itemName), 7);
    EXPECT_STREQ(itemName.Ptr(), "{Reparse_Data}");
    // An unknown kind leaves the name as it was.
    EXPECT_EQ(MakeItemName(10, CString("x"), itemName), -1);
    EXPECT_STREQ(itemName.Ptr(), "{Reparse_Data}");
}

TEST(ItemNameTest, EscapesControlPathAndBracketCharactersOnly) {
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "a\tb"), "a[9]b");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "\x01\x1F"), "[1][31]");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "..\\..\\evil"), "..[92]..[92]evil");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "/etc/x:y"), "[47]etc[47]x[58]y");
    EXPECT_EQ(ItemNameOf(BACKUP_DATA, "C:\\x"), "{Data}C[58][92]x");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "[7] \x7F\x80\xFF"), "[91]7] \x7F\x80\xFF");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "]{x}"), "]{x}");
}

TEST(ItemNameTest, EscapesWhatWindowsWouldDropFromTheEndOfAFileName) {
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, ".."), ".[46]");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "."), "[46]");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "notes. "), "notes.[32]");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, ".profile"), ".profile");
    EXPECT_EQ(ItemNameOf(BACKUP_DATA, ""), "{Data}");
    EXPECT_EQ(Parsed(".[46]"), "4:..");
    EXPECT_EQ(Parsed("notes.[32]"), "4:notes. ");
}

TEST(ItemNameTest, ParsesKindMarkers) {
    EXPECT_EQ(Parsed("{Data}"), "1:");
    EXPECT_EQ(Parsed("{Security_Data}x"), "3:x");
    // Anything else is an alternate data stream named by the whole name.
    EXPECT_EQ(Parsed("{Data"), "4:{Data");
    EXPECT_EQ(Parsed("{Data_x}"), "4:{Data_x}");
    EXPECT_EQ(Parsed("{}"), "4:{}");
    EXPECT_EQ(Parsed("{Other}abc"), "4:{Other}abc");
    EXPECT_EQ(Parsed("{data}"), "4:{data}");
    EXPECT_EQ(ParseError(""), "empty name");
}

TEST(ItemNameTest, ReadsNumberEscapesBack) {
    EXPECT_EQ(Parsed("a[65]b"), "4:aAb");
    EXPECT_EQ(Parsed("a[065]b"), "4:aAb");
    EXPECT_EQ(Parsed("a[000000255]"), "4:a\xFF");
    EXPECT_EQ(Parsed("[7]"), "4:\x07");
    EXPECT_EQ(Parsed("..[92]evil"), "4:..\\evil");
    EXPECT_EQ(Parsed("{Data}[47]x[58]"), "1:/x:");
}

TEST(ItemNameTest, RefusesBadNumberEscapes) {
    const char* incorrect = "Incorrect [Number] in name";
    EXPECT_EQ(ParseError("a[]b"), incorrect);
    EXPECT_EQ(ParseError("a[6x]b"), incorrect);
    EXPECT_EQ(ParseError("a[1234567890]b"), incorrect);
    EXPECT_EQ(ParseError("a[[65]b"), incorrect);
    // An unclosed bracket must not quietly name a shorter stream.
    EXPECT_EQ(ParseError("abc[12"), incorrect);
    EXPECT_EQ(ParseError("{Data}x[9"), incorrect);

    const char* range = "[Number] in name must be more than 0 and less than 256";
    EXPECT_EQ(ParseError("a[256]b"), range);
    EXPECT_EQ(ParseError("a[0]b"), range);
    EXPECT_EQ(ParseError("a[999999999]b"), range);

    CString streamName("untouched");
    EXPECT_THROW(ParseItemName(CString("a[0]"), streamName), const char*);
    EXPECT_STREQ(streamName.Ptr(), "untouched");
}

TEST(ItemNameTest, EveryByteComesBackUnchanged) {
    std::string name;
    for (int byte = 1; byte < 256; ++byte)
        name += static_cast<char>(byte);
    for (int kind = 0; kind < kStreamKindCount; ++kind) {
        DWORD id = kStreamKinds[kind].id;
        std::string itemName = ItemNameOf(id, name);
        // A file made from the item name stays inside its directory.
        EXPECT_EQ(itemName.find_first_of("\\/:"), std::string::npos);
        EXPECT_EQ(Parsed(itemName), std::to_string(id) + ":" + name);
    }
}

TEST(ItemNameTest, AnAlternateStreamNamedLikeAMarkerKeepsItsKind) {
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "{Data}x"), "[123]Data}x");
    EXPECT_EQ(Parsed("[123]Data}x"), "4:{Data}x");
    // Only the first brace is escaped; where the first byte is also the last,
    // or the last is dropped at the end, each rule still holds.
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "{"), "[123]");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "{{"), "[123]{");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "{."), "[123][46]");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "{[ "), "[123][91][32]");
    EXPECT_EQ(ItemNameOf(BACKUP_ALTERNATE_DATA, "x{"), "x{");
    // A file named with the marker still names that kind.
    EXPECT_EQ(Parsed("{Data}x"), "1:x");
}

}  // namespace
