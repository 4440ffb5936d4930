#include "streams/StreamPanel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "common/ErrorNumbers.h"
#include "common/FindHandle.h"
#include "platform/posix/backup/BackupControl.h"
#include "platform/posix/text/CodePages.h"
#include "platform/posix/core/FaultInjection.h"
#include "tests/common/Thrown.h"
#include "tests/platform/MappedDriveSupport.h"
#include "tests/streams/StreamHeaders.h"

namespace {

// One listing as the host receives it, freed the way the host frees it. The
// items are packed, so their fields are compared as values (unary +): a
// reference to one would be misaligned.
class FoundItems {
public:
    explicit FoundItems(const StreamPanel& panel) {
        EXPECT_EQ(panel.GetFindData(&items, &count, 0), 1);
    }
    ~FoundItems() { StreamPanel::FreeFindData(items, count); }
    FoundItems(const FoundItems&) = delete;
    FoundItems& operator=(const FoundItems&) = delete;

    int Count() const { return count; }
    const PanelItem& operator[](int i) const { return items[i]; }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i)
            names.push_back(items[i].fileName);
        return names;
    }

private:
    PanelItem* items = nullptr;
    int count = -1;
};

class StreamPanelTest : public MappedDriveTest {
protected:
    StreamPanelTest() { temp.AddDirectory("dir"); }
    ~StreamPanelTest() override { mvx::ClearBackupBytes(); }

    // Creates dir\<leaf> with `contents`; returns its Windows name.
    std::string AddFile(const std::string& leaf, const std::string& contents) {
        temp.AddFile("dir/" + leaf, contents);
        return "D:\\dir\\" + leaf;
    }

    void AddStream(const std::string& leaf, const std::string& stream, const std::string& data) {
        std::string attribute = "user." + stream;
        ASSERT_EQ(setxattr(temp.PathOf("dir/" + leaf).c_str(), attribute.c_str(), data.data(),
                           data.size(), 0),
                  0);
    }

    // Opens the panel the way the open path does, with the search's FileInfo.
    bool Open(const std::string& name) {
        if (!FileExists(name.c_str(), info))
            return false;
        return panel.Open(CStringBase<char>(name.c_str()), info);
    }

    // A panel on D:\dir\f, whose backup reading delivers `bytes`.
    bool OpenDelivering(const std::string& bytes) {
        std::string name = AddFile("f", "");
        mvx::SetBackupBytes(temp.PathOf("dir/f"), bytes);
        return Open(name);
    }

    // Whether nothing holds the file any more: it opens for writing.
    bool IsReleased(const std::string& name) {
        Handle writer(OpenName(name.c_str(), GENERIC_WRITE, 0, OPEN_EXISTING));
        return writer.IsValid();
    }

    FileInfo info;
    StreamPanel panel;
};

TEST_F(StreamPanelTest, ListsTheStreamsOfAFile) {
    std::string name = AddFile("report.txt", "0123456789");
    AddStream("report.txt", "notes", "hello");
    // Distinct times, so that a time taken from the wrong field shows.
    timespec times[2] = {{1000000000, 0}, {1200000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, temp.PathOf("dir/report.txt").c_str(), times, 0), 0);
    ASSERT_TRUE(Open(name));

    FoundItems items(panel);
    ASSERT_EQ(items.Count(), 3);
    EXPECT_EQ(items.Names(), (std::vector<std::string>{"{Data}", "{Security_Data}", "notes"}));
    const char* descriptions[] = {"Standard data", "Security descriptor data",
                                  "Alternative data stream"};
    for (int i = 0; i < 3; ++i) {
        const PanelItem& item = items[i];
        SCOPED_TRACE(item.fileName);
        EXPECT_EQ(+item.fileAttributes, 0u);
        EXPECT_EQ(std::memcmp(&item.creationTime, &info.creationTime, sizeof(FILETIME)), 0);
        EXPECT_EQ(std::memcmp(&item.lastAccessTime, &info.lastAccessTime, sizeof(FILETIME)), 0);
        EXPECT_EQ(std::memcmp(&item.lastWriteTime, &info.lastWriteTime, sizeof(FILETIME)), 0);
        EXPECT_EQ(+item.sizeHigh, 0u);
        EXPECT_EQ(+item.hostSizeLow, +item.sizeLow);
        EXPECT_EQ(+item.hostSizeHigh, 0u);
        EXPECT_EQ(item.alternateFileName[0], '\0');
        ASSERT_NE(+item.description, nullptr);
        EXPECT_STREQ(item.description, descriptions[i]);
        EXPECT_EQ(+item.itemIndex, static_cast<DWORD>(i));
        EXPECT_EQ(item.hostValue326 | item.hostValue330 | item.hostValue346 | item.hostValue354 |
                      item.reserved358 | item.reserved362,
                  0u);
        EXPECT_EQ(+item.hostPointer338, nullptr);
        EXPECT_EQ(+item.hostPointer342, nullptr);
        EXPECT_STREQ(panel.EntryOf(item).itemName.Ptr(), item.fileName);
    }
    EXPECT_NE(std::memcmp(&info.lastAccessTime, &info.lastWriteTime, sizeof(FILETIME)), 0);
    EXPECT_EQ(+items[0].sizeLow, 10u);
    EXPECT_EQ(+items[2].sizeLow, 5u);
    EXPECT_STREQ(panel.EntryOf(items[2]).streamName.Ptr(), "notes");
    EXPECT_EQ(panel.EntryOf(items[2]).kindIndex, 3);
    // The descriptions are copies of their own, not the table's texts.
    EXPECT_NE(+items[0].description, +items[1].description);
}

TEST_F(StreamPanelTest, DescribesThePanel) {
    std::string name = AddFile("report.txt", "x");
    ASSERT_TRUE(Open(name));
    OpenPluginInfo record;
    std::memset(&record, 0xAB, sizeof(record));
    panel.GetOpenPluginInfo(&record);
    EXPECT_EQ(record.structSize, 68);
    EXPECT_EQ(record.flags, 0x40Fu);
    EXPECT_STREQ(record.filePath, "D:\\dir\\report.txt");
    EXPECT_STREQ(record.innerPath, "");
    EXPECT_STREQ(record.pluginName, "MORVEX");
    EXPECT_STREQ(record.panelTitle, "MORVEX:report.txt");
    for (DWORD word : record.hostWords)
        EXPECT_EQ(word, 0u);
    EXPECT_EQ(record.hostWord56, 0xABABABABu);
    EXPECT_EQ(record.hostWord60, 0u);
    EXPECT_EQ(record.hostWord64, 0u);
}

TEST_F(StreamPanelTest, ATitleForAPathTooLongToResolve) {
    std::string name = "D:\\" + std::string(300, 'a') + "\\name.txt";
    EXPECT_FALSE(panel.Open(CStringBase<char>(name.c_str()), info));
    OpenPluginInfo record;
    panel.GetOpenPluginInfo(&record);
    EXPECT_STREQ(record.panelTitle, "MORVEX:name.txt");
    EXPECT_STREQ(record.filePath, name.c_str());

    // Texts that do not fit are cut, never written past.
    std::string huge = "D:\\" + std::string(2000, 'b');
    EXPECT_FALSE(panel.Open(CStringBase<char>(huge.c_str()), info));
    panel.GetOpenPluginInfo(&record);
    EXPECT_EQ(std::strlen(record.filePath), 1023u);
    EXPECT_EQ(std::strlen(record.panelTitle), 1023u);
}

TEST_F(StreamPanelTest, SplitsSizesAbove4GiB) {
    std::string name = AddFile("big", "");
    ASSERT_EQ(truncate64(temp.PathOf("dir/big").c_str(), 5LL << 30), 0);
    ASSERT_TRUE(Open(name));
    FoundItems items(panel);
    ASSERT_GE(items.Count(), 1);
    EXPECT_EQ(+items[0].sizeHigh, 1u);
    EXPECT_EQ(+items[0].sizeLow, 0x40000000u);
    EXPECT_EQ(+items[0].hostSizeHigh, 1u);
    EXPECT_EQ(+items[0].hostSizeLow, 0x40000000u);
}

TEST_F(StreamPanelTest, AnUnknownStreamKeepsItsPlace) {
    ASSERT_TRUE(OpenDelivering(Stream(BACKUP_DATA, 0) + Stream(0x33, 4, u":odd:$DATA") +
                               Stream(BACKUP_ALTERNATE_DATA, 2, u":x:$DATA")));
    FoundItems items(panel);
    ASSERT_EQ(items.Count(), 3);
    EXPECT_EQ(items.Names(), (std::vector<std::string>{"{Data}", "", "x"}));
    EXPECT_EQ(+items[1].description, nullptr);
    EXPECT_EQ(+items[1].itemIndex, 1u);
    EXPECT_EQ(+items[1].sizeLow, 4u);
    EXPECT_EQ(+items[2].itemIndex, 2u);
    EXPECT_EQ(panel.EntryOf(items[1]).kindIndex, -1);
    EXPECT_STREQ(panel.EntryOf(items[1]).streamName.Ptr(), "odd");
}

TEST_F(StreamPanelTest, AFileWithoutStreamsListsNothing) {
    ASSERT_TRUE(OpenDelivering(""));
    EXPECT_EQ(panel.StreamCount(), 0);
    FoundItems items(panel);
    EXPECT_EQ(items.Count(), 0);
}

TEST_F(StreamPanelTest, ALongItemNameIsCutAtACharacterBoundary) {
    mvx::SetCodePages(CP_UTF8, CP_UTF8);
    // 85 escapes of three bytes, then two euro signs of three bytes each:
    // 261 bytes, of which 258 fit without splitting the second sign.
    std::string stream = std::string(85, '\x01') + "\xE2\x82\xAC\xE2\x82\xAC";
    std::string name = AddFile("f", "");
    AddStream("f", stream, "");
    ASSERT_TRUE(Open(name));
    FoundItems items(panel);
    ASSERT_EQ(items.Count(), 3);
    std::string shown = items[2].fileName;
    EXPECT_EQ(shown.size(), 258u);
    EXPECT_EQ(shown.substr(249), "[1][1]\xE2\x82\xAC");
    EXPECT_EQ(panel.EntryOf(items[2]).itemName.Length(), 261);
    EXPECT_EQ(+items[2].itemIndex, 2u);
}

TEST_F(StreamPanelTest, AFileThatCannotBeOpenedKeepsThePreviousList) {
    std::string name = AddFile("f", "abc");
    AddStream("f", "one", "1");
    ASSERT_TRUE(Open(name));
    AddStream("f", "two", "22");
    unsigned backupReads = mvx::CallCount("BackupRead");
    mvx::InjectFault("CreateFileA", 1, ERROR_SHARING_VIOLATION);
    EXPECT_FALSE(panel.ReadStreamList());
    FoundItems items(panel);
    EXPECT_EQ(items.Names(), (std::vector<std::string>{"{Data}", "{Security_Data}", "one"}));
    EXPECT_EQ(mvx::CallCount("BackupRead"), backupReads);

    ASSERT_EQ(unlink(temp.PathOf("dir/f").c_str()), 0);
    EXPECT_FALSE(panel.ReadStreamList());
    EXPECT_EQ(panel.StreamCount(), 3);
}

TEST_F(StreamPanelTest, AWalkOutOfStepIsReportedAndReleasesTheFile) {
    std::string name = AddFile("f", "abc");
    AddStream("f", "one", "1");
    ASSERT_TRUE(Open(name));
    mvx::ClearFaults();
    // The third header read fails: {Data} and {Security_Data} are listed.
    mvx::InjectFault("BackupRead", 3, ERROR_INVALID_DATA);
    EXPECT_EQ(ThrownNumber([&] { panel.ReadStreamList(); }), kErrorBackupWalkOutOfStep);
    // Three reads and the aborting one that releases the context.
    EXPECT_EQ(mvx::CallCount("BackupRead"), 4u);
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 1u);
    EXPECT_TRUE(IsReleased(name));
    FoundItems items(panel);
    EXPECT_EQ(items.Names(), (std::vector<std::string>{"{Data}", "{Security_Data}"}));
}

TEST_F(StreamPanelTest, ASkipThatFallsShortIsOutOfStep) {
    std::string name = AddFile("f", "abc");
    mvx::InjectFault("BackupSeek", 1, ERROR_INVALID_DATA);
    EXPECT_EQ(ThrownNumber([&] { Open(name); }), kErrorBackupWalkOutOfStep);
    EXPECT_EQ(mvx::CallCount("BackupRead"), 2u);
    EXPECT_TRUE(IsReleased(name));
}

TEST_F(StreamPanelTest, BadHeadersAreReportedAndReleaseTheFile) {
    EXPECT_EQ(ThrownNumber([&] {
                  OpenDelivering(Stream(BACKUP_DATA, 1) +
                                 HeaderWithNameSize(BACKUP_ALTERNATE_DATA, 0, 3) + "abc");
              }),
              kErrorOddStreamNameSize);
    // Two header reads, no name read, and the aborting read.
    EXPECT_EQ(mvx::CallCount("BackupRead"), 3u);
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 1u);
    EXPECT_EQ(panel.StreamCount(), 1);

    mvx::SetBackupBytes(temp.PathOf("dir/f"), StreamHeader(BACKUP_DATA, 0, 0).substr(0, 12));
    EXPECT_EQ(ThrownNumber([&] { panel.ReadStreamList(); }), kErrorBackupWalkOutOfStep);
    EXPECT_EQ(panel.StreamCount(), 0);
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 2u);
    EXPECT_TRUE(IsReleased("D:\\dir\\f"));
}

TEST_F(StreamPanelTest, AStreamNameThatCannotBeConvertedIsReported) {
    std::string name = AddFile("f", "abc");
    AddStream("f", "notes", "x");
    mvx::InjectFault("WideCharToMultiByte", 1, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ThrownNumber([&] { Open(name); }), kErrorStreamNameConversion);
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 1u);
    EXPECT_TRUE(IsReleased(name));
}

TEST_F(StreamPanelTest, AnItemOfAnOlderListIsRefused) {
    std::string name = AddFile("f", "abc");
    AddStream("f", "one", "1");
    ASSERT_TRUE(Open(name));
    FoundItems items(panel);
    ASSERT_EQ(items.Count(), 3);
    ASSERT_EQ(removexattr(temp.PathOf("dir/f").c_str(), "user.one"), 0);
    ASSERT_TRUE(panel.ReadStreamList());
    EXPECT_EQ(panel.StreamCount(), 2);
    EXPECT_STREQ(panel.EntryOf(items[1]).itemName.Ptr(), "{Security_Data}");
    EXPECT_EQ(ThrownText([&] { panel.EntryOf(items[2]); }),
              "The item is no longer in the stream list");
}

}  // namespace
