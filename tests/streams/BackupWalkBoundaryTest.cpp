// The backup walk at the edges of what a header can say: a header or a name
// cut at every byte, name sizes at the limit and one past it, and stream
// sizes where the 32-bit halves carry over.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <string>

#include "common/ArrayStorage.h"
#include "common/ErrorNumbers.h"
#include "common/FindHandle.h"
#include "platform/posix/backup/BackupControl.h"
#include "platform/posix/core/FaultInjection.h"
#include "streams/BackupFile.h"
#include "streams/BackupStreamReader.h"
#include "streams/StreamPanel.h"
#include "tests/common/AddressSpaceLimitSupport.h"
#include "tests/common/Thrown.h"
#include "tests/platform/MappedDriveSupport.h"
#include "tests/streams/StreamHeaders.h"

namespace {

const std::u16string kName = u":ab:$DATA";

class BackupWalkBoundaryTest : public MappedDriveTest {
protected:
    BackupWalkBoundaryTest() { temp.AddFile("f", "0123456789"); }
    ~BackupWalkBoundaryTest() override { mvx::ClearBackupBytes(); }

    // The outcome of the first Next over `bytes`: "false", "end" or "found",
    // or the number it threw; `entry` keeps what the walk stored.
    std::string FirstNext(const std::string& bytes, StreamEntry& entry) {
        mvx::SetBackupBytes(temp.PathOf("f"), bytes);
        BackupFile file;
        EXPECT_TRUE(file.Open("D:\\f"));
        BackupStreamReader reader(file);
        bool found = false;
        bool ok = false;
        const unsigned number = ThrownNumber([&] { ok = reader.Next(found, entry); });
        if (number != 0)
            return std::to_string(number);
        return !ok ? (found ? "false, found" : "false") : (found ? "found" : "end");
    }
};

TEST_F(BackupWalkBoundaryTest, AHeaderCutAtEveryByte) {
    const std::string header = StreamHeader(BACKUP_DATA, 0, 0);
    ASSERT_EQ(header.size(), 20u);
    for (size_t cut = 0; cut <= header.size(); ++cut) {
        StreamEntry entry;
        const char* expected = cut == 0 ? "end" : cut < 20 ? "false" : "found";
        EXPECT_EQ(FirstNext(header.substr(0, cut), entry), expected) << cut;
        // Nothing of a partial header reaches the entry.
        EXPECT_EQ(entry.kindId, cut == 20 ? BACKUP_DATA : 0u) << cut;
    }
}

TEST_F(BackupWalkBoundaryTest, ANameCutAtEveryByte) {
    const std::string whole = StreamHeader(BACKUP_ALTERNATE_DATA, 0, 0, kName);
    const size_t nameSize = 2 * kName.size();
    for (size_t cut = 0; cut <= nameSize; ++cut) {
        StreamEntry entry;
        entry.rawName = CWideString(u"previous");
        const std::string outcome = FirstNext(whole.substr(0, 20 + cut), entry);
        EXPECT_EQ(outcome, cut == nameSize ? "found" : "false") << cut;
        // What arrived of the name is kept, whole characters only.
        EXPECT_EQ(entry.rawName, CWideString(kName.substr(0, cut / 2).c_str())) << cut;
    }
}

TEST_F(BackupWalkBoundaryTest, NameSizesAtTheirLimits) {
    const uint32_t limit = 2u * static_cast<uint32_t>(kMaxArrayCapacity);
    struct Case {
        uint32_t nameSize;
        std::string outcome;
    };
    const std::string odd = std::to_string(kErrorOddStreamNameSize);
    const Case cases[] = {
        {1, odd},
        {2, "false"},  // announces a character that never comes
        {3, odd},
        {limit - 1, odd},
        // The largest name a string could hold, announced by a header alone:
        // refused after one read, without asking room for the whole name.
        {limit - 2, "false"},
        // One character past what a string can hold is refused before any
        // room is asked for it.
        {limit, "false"},
        {0xFFFFFFFE, "false"},
        {0xFFFFFFFF, odd},
    };
    for (const Case& c : cases) {
        mvx::ClearFaults();
        StreamEntry entry;
        entry.rawName = CWideString(u"previous");
        EXPECT_EQ(FirstNext(HeaderWithNameSize(BACKUP_ALTERNATE_DATA, 0, c.nameSize), entry),
                  c.outcome)
            << c.nameSize;
        const bool readsName = c.outcome == "false" && c.nameSize < limit;
        EXPECT_EQ(entry.rawName, CWideString(readsName ? u"" : u"previous")) << c.nameSize;
        // Only the header was read: no name read was tried for an odd size or
        // one past the limit.
        EXPECT_EQ(mvx::CallCount("BackupRead"), readsName ? 3u : 2u) << c.nameSize;
    }
}

// A damaged header may announce a name of up to a gigabyte with nothing
// behind it: the walk stops out of step, and asks no room for what never
// arrives, even where the process has only 64 MiB to spare.
TEST_F(BackupWalkBoundaryTest, AnnouncedNamesCostOnlyWhatArrives) {
    const uint32_t limit = 2u * static_cast<uint32_t>(kMaxArrayCapacity);
    const uint32_t sizes[] = {64u << 20, (64u << 20) + 2, 256u << 20, limit - 2};
    for (uint32_t size : sizes) {
        StreamEntry entry;
        std::string outcome;
        const std::string header = HeaderWithNameSize(BACKUP_ALTERNATE_DATA, 0, size) + "ab";
        mvx::SetBackupBytes(temp.PathOf("f"), header);
        BackupFile file;
        ASSERT_TRUE(file.Open("D:\\f"));
        AddressSpaceLimit memory(64u << 20);
        ASSERT_EQ(memory.Failure(), "");
        const std::string thrown = ThrownText([&] {
            bool found = false;
            outcome = BackupStreamReader(file).Next(found, entry) ? "true" : "false";
        });
        EXPECT_EQ(thrown, "(nothing)") << size;
        EXPECT_EQ(outcome, "false") << size;
        EXPECT_EQ(entry.rawName, CWideString(u"\x6261")) << size;
    }
}

// A name is read in pieces of 2,048 characters: names at a piece's edge
// arrive whole, and one cut inside a later piece keeps what arrived.
TEST_F(BackupWalkBoundaryTest, LongNamesAcrossPieces) {
    const size_t piece = 2048;
    struct Case {
        size_t length, arrived;
    };
    const Case cases[] = {
        {piece - 1, piece - 1}, {piece, piece},         {piece + 1, piece + 1},
        {2 * piece, 2 * piece}, {piece + 1, piece},     {3 * piece, 2 * piece + 1},
    };
    for (const Case& c : cases) {
        std::u16string name(c.length, u'n');
        name[0] = u':';
        name[c.length - 1] = u'z';
        const std::string whole = StreamHeader(BACKUP_ALTERNATE_DATA, 0, 0, name);
        StreamEntry entry;
        const std::string outcome = FirstNext(whole.substr(0, 20 + 2 * c.arrived), entry);
        EXPECT_EQ(outcome, c.arrived == c.length ? "found" : "false") << c.length;
        EXPECT_EQ(entry.rawName, CWideString(name.substr(0, c.arrived).c_str())) << c.length;
    }
}

TEST_F(BackupWalkBoundaryTest, StreamSizesKeepEveryBit) {
    // The data is not there to skip, so the walk is out of step, but the
    // header's size arrives whole.
    const uint64_t sizes[] = {0xFFFFFFFFull, 0x100000000ull, 0x7FFFFFFFFFFFFFFFull,
                              0x8000000000000000ull, 0xFFFFFFFFFFFFFFFFull};
    for (uint64_t size : sizes) {
        StreamEntry entry;
        EXPECT_EQ(FirstNext(StreamHeader(BACKUP_DATA, 0, size) + "data", entry), "false, found")
            << size;
        EXPECT_EQ(entry.size, size);
    }
}

// A file of `size` bytes (sparse) listed through the panel: the item's size
// halves, where the low half carries into the high one.
TEST_F(BackupWalkBoundaryTest, PanelItemsSplitSizesAtTheCarry) {
    struct Case {
        uint64_t size;
        DWORD high, low;
    };
    const Case cases[] = {
        {0xFFFFFFFFull, 0, 0xFFFFFFFF},
        {0x100000000ull, 1, 0},
        {0x100000001ull, 1, 1},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(truncate64(temp.PathOf("f").c_str(), static_cast<off64_t>(c.size)), 0);
        FileInfo info;
        ASSERT_TRUE(FileExists("D:\\f", info));
        StreamPanel panel;
        ASSERT_TRUE(panel.Open(CStringBase<char>("D:\\f"), info));
        PanelItem* items = nullptr;
        int count = 0;
        ASSERT_EQ(panel.GetFindData(&items, &count, 0), 1);
        ASSERT_GE(count, 1);
        EXPECT_EQ(+items[0].sizeHigh, c.high) << c.size;
        EXPECT_EQ(+items[0].sizeLow, c.low) << c.size;
        EXPECT_EQ(+items[0].hostSizeHigh, c.high) << c.size;
        EXPECT_EQ(+items[0].hostSizeLow, c.low) << c.size;
        StreamPanel::FreeFindData(items, count);
    }
}

}  // namespace
