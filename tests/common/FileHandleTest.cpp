#include "common/FileHandle.h"
#include "common/InputFile.h"
#include "common/OutputFile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <unistd.h>

#include "platform/posix/core/FaultInjection.h"
#include "tests/common/TempDrive.h"

namespace {

// A handle that owns more than the system handle, as the backup reader does:
// it counts how often its own Close runs.
class CountingFile : public CInputFile {
public:
    explicit CountingFile(int& closes) : closes_(closes) {}
    bool Close() override {
        ++closes_;
        return CInputFile::Close();
    }

private:
    int& closes_;
};

class FileHandleTest : public ::testing::Test {
protected:
    void SetUp() override { mvx::ClearFaults(); }
    void TearDown() override { mvx::ClearFaults(); }

    std::string AddFile(const std::string& leaf, const std::string& contents) {
        drive.Directory().AddFile(leaf, contents);
        return drive.Name(leaf);
    }

    // The whole file, read in one call of twice its expected size.
    static std::string ReadAll(const std::string& name, size_t expected) {
        CInputFile file;
        if (!file.OpenForReading(name.c_str()))
            return "<cannot open>";
        std::string data(2 * expected + 1, '\0');
        DWORD read = 0;
        if (!file.Read(&data[0], static_cast<DWORD>(data.size()), read))
            return "<cannot read>";
        data.resize(read);
        return data;
    }

    TempDrive drive{'T'};
};

TEST_F(FileHandleTest, CloseWithoutOpenMakesNoSystemCall) {
    {
        CFileHandle file;
        EXPECT_FALSE(file.IsOpen());
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 0u);
}

TEST_F(FileHandleTest, FailedOpenHoldsNothing) {
    {
        CInputFile file;
        EXPECT_FALSE(file.OpenForReading(drive.Name("missing.txt").c_str()));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 0u);
}

TEST_F(FileHandleTest, OpeningAgainClosesThroughTheOverride) {
    std::string name = AddFile("report.txt", "data");
    int closes = 0;
    {
        CountingFile file(closes);
        ASSERT_TRUE(file.OpenForReading(name.c_str()));
        EXPECT_EQ(closes, 1);
        EXPECT_EQ(mvx::CallCount("CloseHandle"), 0u);
        ASSERT_TRUE(file.OpenForReading(name.c_str()));
        EXPECT_EQ(closes, 2);
        EXPECT_EQ(mvx::CallCount("CloseHandle"), 1u);
    }
    // The base destructor releases the second handle with its own Close.
    EXPECT_EQ(closes, 2);
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 2u);
}

TEST_F(FileHandleTest, FailedCloseKeepsTheHandleForAnotherTry) {
    std::string name = AddFile("report.txt", "data");
    CInputFile file;
    ASSERT_TRUE(file.OpenForReading(name.c_str()));
    mvx::InjectFault("CloseHandle", 1, ERROR_INVALID_HANDLE);
    EXPECT_FALSE(file.Close());
    EXPECT_TRUE(file.IsOpen());
    EXPECT_TRUE(file.Close());
    EXPECT_FALSE(file.IsOpen());
    EXPECT_TRUE(file.Close());
    EXPECT_EQ(mvx::CallCount("CloseHandle"), 2u);
}

TEST_F(FileHandleTest, CreateReplacesAnExistingFile) {
    std::string name = AddFile("out.txt", "old contents, longer than the new");
    COutputFile out;
    ASSERT_TRUE(out.Create(name.c_str()));
    DWORD written = 0;
    ASSERT_TRUE(out.Write("new", 3, written));
    EXPECT_EQ(written, 3u);
    ASSERT_TRUE(out.Close());
    EXPECT_EQ(ReadAll(name, 3), "new");
}

TEST_F(FileHandleTest, CreateUsesTheChosenDisposition) {
    std::string name = AddFile("out.txt", "keep");
    COutputFile out;
    EXPECT_EQ(out.creationDisposition, static_cast<DWORD>(CREATE_ALWAYS));
    out.creationDisposition = CREATE_NEW;
    EXPECT_FALSE(out.Create(name.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(drive.Directory().Contents("out.txt"), "keep");
    EXPECT_TRUE(out.Create(drive.Name("fresh.txt").c_str()));
}

TEST_F(FileHandleTest, ReadersShareOnlyWithReaders) {
    std::string name = AddFile("report.txt", "data");
    CInputFile first, second;
    ASSERT_TRUE(first.OpenForReading(name.c_str()));
    EXPECT_TRUE(second.OpenForReading(name.c_str()));
    COutputFile writer;
    EXPECT_FALSE(writer.OpenForWriting(name.c_str(), FILE_SHARE_READ, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

TEST_F(FileHandleTest, OpenPassesDispositionAndFlagsOn) {
    drive.Directory().AddDirectory("dir");
    std::string directory = drive.Name("dir");
    CInputFile input;
    EXPECT_FALSE(input.OpenForReading(directory.c_str()));
    EXPECT_TRUE(input.OpenForReading(directory.c_str(), FILE_SHARE_READ, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL));

    std::string name = AddFile("kept.txt", "kept");
    COutputFile output;
    ASSERT_TRUE(output.OpenForWriting(name.c_str(), FILE_SHARE_READ, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL));
    ASSERT_TRUE(output.Close());
    EXPECT_EQ(drive.Directory().Contents("kept.txt"), "kept");
    EXPECT_FALSE(output.OpenForWriting(drive.Name("absent.txt").c_str(), FILE_SHARE_READ,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    EXPECT_FALSE(drive.Directory().Exists("absent.txt"));
}

TEST_F(FileHandleTest, EachVariantOpensForItsOwnDirectionOnly) {
    std::string name = AddFile("report.txt", "data");
    char byte = 0;
    DWORD count = 0;
    {
        CInputFile input;
        ASSERT_TRUE(input.OpenForReading(name.c_str()));
        EXPECT_FALSE(WriteFile(input.Handle(), "x", 1, &count, nullptr));
    }
    COutputFile output;
    ASSERT_TRUE(output.OpenForWriting(name.c_str(), 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    EXPECT_FALSE(ReadFile(output.Handle(), &byte, 1, &count, nullptr));
}

TEST_F(FileHandleTest, SystemFailuresOfReadAndWriteAreReported) {
    std::string name = AddFile("report.txt", "abc");
    CInputFile input;
    ASSERT_TRUE(input.OpenForReading(name.c_str()));
    char buffer[4];
    DWORD count = 0;
    mvx::InjectFault("ReadFile", 1, ERROR_LOCK_VIOLATION);
    EXPECT_FALSE(input.Read(buffer, sizeof(buffer), count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_LOCK_VIOLATION));

    COutputFile output;
    ASSERT_TRUE(output.Create(drive.Name("out.txt").c_str()));
    mvx::InjectFault("WriteFile", 1, ERROR_DISK_FULL);
    EXPECT_FALSE(output.Write("abc", 3, count));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
}

TEST_F(FileHandleTest, LengthWhoseLowPartLooksLikeTheFailureValue) {
    const uint64_t size = 0x1FFFFFFFFull;
    std::string path = drive.Directory().AddFile("sparse.bin");
    ASSERT_EQ(truncate64(path.c_str(), size), 0);
    CInputFile file;
    ASSERT_TRUE(file.OpenForReading(drive.Name("sparse.bin").c_str()));
    SetLastError(ERROR_ACCESS_DENIED);  // left over from some earlier call
    uint64_t length = 0;
    EXPECT_TRUE(file.GetLength(length));
    EXPECT_EQ(length, size);

    mvx::InjectFault("GetFileSize", 1, ERROR_INVALID_HANDLE);
    length = 7;
    EXPECT_FALSE(file.GetLength(length));
    EXPECT_EQ(length, 7u);
}

}  // namespace
