#include "streams/BackupStreamReader.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/posix/backup/BackupControl.h"
#include "platform/posix/core/FaultInjection.h"
#include "streams/BackupFile.h"
#include "tests/platform/MappedDriveSupport.h"
#include "tests/streams/StreamHeaders.h"

namespace {

// Walks of D:\f, whose backup reading delivers what a test chooses. The walks
// that the panel drives are tested with the panel; these are the ways a walk
// loses its place in the middle of a stream.
class BackupStreamReaderTest : public MappedDriveTest {
protected:
    ~BackupStreamReaderTest() override { mvx::ClearBackupBytes(); }

    void Deliver(const std::string& bytes) {
        temp.AddFile("f", "0123456789");
        mvx::SetBackupBytes(temp.PathOf("f"), bytes);
    }

    // The result of the first Next, with what it found.
    bool FirstNext(bool& found, StreamEntry& entry) {
        BackupFile file;
        EXPECT_TRUE(file.Open("D:\\f"));
        BackupStreamReader reader(file);
        return reader.Next(found, entry);
    }
};

TEST_F(BackupStreamReaderTest, ANameCutShortIsOutOfStep) {
    Deliver(HeaderWithNameSize(BACKUP_ALTERNATE_DATA, 0, 8) + std::string(":\0a\0", 4));
    bool found = true;
    StreamEntry entry;
    EXPECT_FALSE(FirstNext(found, entry));
    EXPECT_FALSE(found);
    EXPECT_EQ(entry.rawName, CWideString(u":a"));
}

TEST_F(BackupStreamReaderTest, DataCutShortIsOutOfStep) {
    Deliver(StreamHeader(BACKUP_DATA, 0, 10) + "abcd");
    bool found = false;
    StreamEntry entry;
    EXPECT_FALSE(FirstNext(found, entry));
    EXPECT_TRUE(found);
    EXPECT_EQ(entry.size, 10u);
}

TEST_F(BackupStreamReaderTest, AFailedNameReadLeavesNoName) {
    Deliver(Stream(BACKUP_ALTERNATE_DATA, 1, u":name:$DATA"));
    mvx::InjectFault("BackupRead", 2, ERROR_INVALID_DATA);
    bool found = true;
    StreamEntry entry;
    entry.rawName = CWideString(u"previous");
    EXPECT_FALSE(FirstNext(found, entry));
    EXPECT_FALSE(found);
    EXPECT_EQ(entry.rawName.Length(), 0);
}

class BackupFileTest : public MappedDriveTest {
protected:
    BackupFileTest() { temp.AddFile("f", "0123456789"); }

    // Reads the first header, so that the system holds a context for the file.
    static void Start(BackupFile& file) {
        char header[20];
        DWORD read = 0;
        ASSERT_TRUE(file.Read(header, sizeof(header), read, true));
        ASSERT_EQ(read, 20u);
    }
};

TEST_F(BackupFileTest, TheContextIsReleasedOnceAndOnlyAfterARead) {
    {
        BackupFile file;
        ASSERT_TRUE(file.Open("D:\\f"));
    }
    EXPECT_EQ(mvx::CallCount("BackupRead"), 0u);
    {
        BackupFile file;
        ASSERT_TRUE(file.Open("D:\\f"));
        Start(file);
        EXPECT_TRUE(file.Close());
        EXPECT_EQ(mvx::CallCount("BackupRead"), 2u);
    }
    EXPECT_EQ(mvx::CallCount("BackupRead"), 2u);
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 2u);
}

TEST_F(BackupFileTest, ReopeningReleasesTheFirstWalk) {
    BackupFile file;
    ASSERT_TRUE(file.Open("D:\\f"));
    Start(file);
    ASSERT_TRUE(file.Open("D:\\f"));
    EXPECT_EQ(mvx::CallCount("BackupRead"), 2u);
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 1u);
    // The new walk starts at the first stream again: its ten bytes of data
    // are all there is to skip (asking for more fails, as the system does).
    Start(file);
    DWORD low = 0;
    DWORD high = 0;
    file.Skip(100, 0, low, high);
    EXPECT_EQ(low, 10u);
    EXPECT_EQ(high, 0u);
}

}  // namespace
