// BackupRead and BackupSeek on real files with real user.* attributes: the
// order and form of the streams, streams in Samba's form, reads and skips that stay inside one stream,
// values that change under a reading, substituted bytes and injected faults.
#include "EnvironmentSettingSupport.h"
#include "MappedDriveSupport.h"

#include "platform/posix/backup/BackupControl.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/LayerErrors.h"
#include "platform/posix/security/SecurityPrivilege.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr DWORD kErrorSeek = 25;  // ERROR_SEEK
constexpr DWORD kHeaderSize = 20;
const DWORD kStale = 0xDEAD;

struct Stream {
    DWORD id = 0;
    DWORD attributes = 0;
    ULONGLONG size = 0;
    std::string name;  // UTF-16LE bytes
    std::string data;
};

DWORD DwordAt(const std::string& bytes, size_t at) {
    DWORD value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// One backup reading of a handle, aborted when the object goes away.
class Reading {
public:
    explicit Reading(HANDLE file, BOOL security = TRUE) : file_(file), security_(security) {}
    ~Reading() { BackupRead(file_, nullptr, 0, nullptr, TRUE, FALSE, &context_); }
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;

    LPVOID* Context() { return &context_; }

    // BackupRead into a buffer of `count` bytes; the bytes read, or "<error N>".
    std::string Read(DWORD count) {
        std::string buffer(count, '\0');
        DWORD read = kStale;
        if (!BackupRead(file_, reinterpret_cast<LPBYTE>(&buffer[0]), count, &read, FALSE, security_,
                        &context_))
            return "<error " + std::to_string(GetLastError()) + ">";
        return buffer.substr(0, read);
    }

    // BackupSeek; the success flag, with the 64-bit count skipped in `skipped`.
    bool Seek(ULONGLONG request, ULONGLONG& skipped) {
        DWORD low = kStale, high = kStale;
        const BOOL ok = BackupSeek(file_, static_cast<DWORD>(request),
                                   static_cast<DWORD>(request >> 32), &low, &high, &context_);
        skipped = (static_cast<ULONGLONG>(high) << 32) | low;
        return ok != FALSE;
    }

    // The next header and name; false at the end of the streams or on an error.
    bool Header(Stream& stream) {
        const std::string header = Read(kHeaderSize);
        if (header.size() != kHeaderSize) return false;
        stream = Stream();
        stream.id = DwordAt(header, 0);
        stream.attributes = DwordAt(header, 4);
        stream.size = DwordAt(header, 8) | (static_cast<ULONGLONG>(DwordAt(header, 12)) << 32);
        const DWORD nameSize = DwordAt(header, 16);
        if (nameSize) stream.name = Read(nameSize);
        return stream.name.size() == nameSize;
    }

    // Every stream with its data, read in pieces of an awkward size.
    std::vector<Stream> All() {
        std::vector<Stream> streams;
        Stream stream;
        while (Header(stream)) {
            while (stream.data.size() < stream.size) {
                const std::string piece = Read(7);
                if (piece.empty() || piece[0] == '<') return streams;
                stream.data += piece;
            }
            streams.push_back(stream);
        }
        return streams;
    }

private:
    HANDLE file_;
    BOOL security_;
    LPVOID context_ = nullptr;
};

std::vector<DWORD> IdsOf(const std::vector<Stream>& streams) {
    std::vector<DWORD> ids;
    for (const Stream& stream : streams) ids.push_back(stream.id);
    return ids;
}

// The user.* names of a file, without the prefix, in the order Linux lists them.
std::vector<std::string> ListedNames(const std::string& path) {
    char list[4096];
    const ssize_t size = listxattr(path.c_str(), list, sizeof(list));
    std::vector<std::string> names;
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(list + at)) + 1)
        if (std::strncmp(list + at, "user.", 5) == 0) names.push_back(list + at + 5);
    return names;
}

// The UTF-16LE name of the alternate stream `ascii`.
std::string StreamName(const std::string& ascii) {
    std::string name;
    for (char c : ":" + ascii + ":$DATA") name += std::string{c, '\0'};
    return name;
}

class BackupReadTest : public MappedDriveTest {
protected:
    void SetUp() override {
        const std::string unsupported = UserAttributesUnsupported();
        if (!unsupported.empty()) GTEST_SKIP() << unsupported;
    }
    ~BackupReadTest() override {
        mvx::ClearBackupBytes();
        mvx::SetSecurityPrivilegeEnabled(false);
    }

    void SetAttribute(const std::string& relative, const std::string& name,
                      const std::string& value) {
        const std::string attribute = "user." + name;
        ASSERT_EQ(setxattr(temp.PathOf(relative).c_str(), attribute.c_str(), value.data(),
                           value.size(), 0),
                  0)
            << std::strerror(errno);
    }

    static HANDLE OpenForBackup(const char* name, DWORD access = GENERIC_READ) {
        return OpenName(name, access, FILE_SHARE_READ, OPEN_EXISTING,
                        FILE_FLAG_BACKUP_SEMANTICS | FILE_ATTRIBUTE_NORMAL);
    }

    // The size GetFileSecurityA gives for `parts` of `name`.
    static DWORD SecuritySize(const char* name, SECURITY_INFORMATION parts) {
        DWORD needed = 0;
        GetFileSecurityA(name, parts, nullptr, 0, &needed);
        return needed;
    }
};

TEST_F(BackupReadTest, DeliversDataSecurityAndEveryAlternateStreamInOrder) {
    temp.AddFile("report.txt", "hello world");
    SetAttribute("report.txt", "notes", "remember");
    SetAttribute("report.txt", "empty", "");
    SetAttribute("report.txt", "tag", "2");
    Handle file(OpenForBackup("D:\\report.txt"));
    ASSERT_TRUE(file.IsValid()) << GetLastError();
    Reading reading(file.Get());
    const std::vector<Stream> streams = reading.All();

    const std::vector<std::string> names = ListedNames(temp.PathOf("report.txt"));
    ASSERT_EQ(streams.size(), 2 + names.size());
    EXPECT_EQ(streams[0].id, static_cast<DWORD>(BACKUP_DATA));
    EXPECT_EQ(streams[0].attributes, static_cast<DWORD>(STREAM_NORMAL_ATTRIBUTE));
    EXPECT_TRUE(streams[0].name.empty());
    EXPECT_EQ(streams[0].data, "hello world");
    EXPECT_EQ(streams[1].id, static_cast<DWORD>(BACKUP_SECURITY_DATA));
    EXPECT_EQ(streams[1].attributes, static_cast<DWORD>(STREAM_CONTAINS_SECURITY));
    EXPECT_EQ(streams[1].size, SecuritySize("D:\\report.txt", 7));
    for (size_t i = 0; i < names.size(); ++i) {
        const Stream& stream = streams[2 + i];
        EXPECT_EQ(stream.id, static_cast<DWORD>(BACKUP_ALTERNATE_DATA));
        EXPECT_EQ(stream.name, StreamName(names[i])) << names[i];
        EXPECT_EQ(stream.size, stream.data.size());
    }
    // The end of the streams reads as 0 bytes, as often as it is asked.
    EXPECT_EQ(reading.Read(64), "");
    EXPECT_EQ(reading.Read(64), "");
}

TEST_F(BackupReadTest, SambaStreamsAreListedUnderTheirNamesWithoutTheirNul) {
    struct Case {
        const char* what;
        const char* prefixSetting;  // MORVEX_SAMBA_PREFIX, or null
        std::vector<std::pair<std::string, std::string>> attributes;  // without "user."
        std::vector<std::string> streams;  // "name=data", sorted
    };
    const std::string nul(1, '\0');
    const Case cases[] = {
        {"plain attributes are streams whole", nullptr,
         {{"notes", "abc"}, {"DosStreamish", "x" + nul}}, {"DosStreamish=x" + nul, "notes=abc"}},
        {"DOSATTRIB alone: no streams, its neighbours are Samba's records", nullptr,
         {{"DOSATTRIB", "dos"}, {"notes", "abc"}}, {}},
        {"a stream and its type", nullptr,
         {{"DOSATTRIB", "dos"}, {"DosStream.Zone.Identifier:$DATA", "[Zone]" + nul}},
         {"Zone.Identifier=[Zone]"}},
        {"a stream without its type", nullptr, {{"DosStream.bare", "b" + nul}}, {"bare=b"}},
        {"made and never written: empty", nullptr, {{"DosStream.e:$DATA", ""}}, {"e="}},
        {"the NUL alone", nullptr, {{"DosStream.n:$DATA", nul}}, {"n="}},
        {"the last byte goes whatever it is", nullptr, {{"DosStream.c:$DATA", "abc"}}, {"c=ab"}},
        {"a blank and an inner NUL", nullptr, {{"DosStream.a b:$DATA", "x" + nul + "y" + nul}},
         {"a b=x" + nul + "y"}},
        {"the prefix without a name", nullptr,
         {{"DosStream.", "v" + nul}, {"DosStream.:$DATA", "w" + nul}}, {}},
        {"a prefix of the share's", "user.Other.",
         {{"Other.s:$DATA", "v" + nul}, {"DosStream.d:$DATA", "w" + nul}}, {"s=v"}},
        {"a prefix outside user.* leaves the default", "trusted.X.",
         {{"DosStream.d:$DATA", "w" + nul}}, {"d=w"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        temp.AddFile("f", "data");
        for (const auto& attribute : c.attributes) SetAttribute("f", attribute.first, attribute.second);
        std::vector<std::string> found;
        {
            const EnvironmentSetting prefix("MORVEX_SAMBA_PREFIX", c.prefixSetting);
            Handle file(OpenForBackup("D:\\f"));
            ASSERT_TRUE(file.IsValid());
            Reading reading(file.Get(), FALSE);
            for (const Stream& stream : reading.All()) {
                if (stream.id != BACKUP_ALTERNATE_DATA) continue;
                std::string name;  // ":NAME:$DATA" in UTF-16LE, ASCII here
                for (size_t i = 2; i + 12 < stream.name.size(); i += 2) name += stream.name[i];
                found.push_back(name + "=" + stream.data);
            }
        }
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.streams);
        unlink(temp.PathOf("f").c_str());
    }
}

TEST_F(BackupReadTest, SecurityComesOnlyWhenAskedForAndFollowsThePrivilege) {
    temp.AddFile("plain.txt", "x");
    SetAttribute("plain.txt", "a", "1");
    Handle file(OpenForBackup("D:\\plain.txt"));
    ASSERT_TRUE(file.IsValid());
    {
        Reading reading(file.Get(), FALSE);
        EXPECT_EQ(IdsOf(reading.All()), (std::vector<DWORD>{BACKUP_DATA, BACKUP_ALTERNATE_DATA}));
    }
    mvx::SetSecurityPrivilegeEnabled(true);
    Reading reading(file.Get());
    const std::vector<Stream> streams = reading.All();
    ASSERT_EQ(streams.size(), 3u);
    EXPECT_EQ(streams[1].size, SecuritySize("D:\\plain.txt", 15));
}

TEST_F(BackupReadTest, ADirectoryHasNoDataStream) {
    temp.AddDirectory("dir");
    SetAttribute("dir", "label", "photos");
    Handle directory(OpenForBackup("D:\\dir"));
    ASSERT_TRUE(directory.IsValid()) << GetLastError();
    Reading reading(directory.Get());
    const std::vector<Stream> streams = reading.All();
    EXPECT_EQ(IdsOf(streams), (std::vector<DWORD>{BACKUP_SECURITY_DATA, BACKUP_ALTERNATE_DATA}));
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[1].data, "photos");
}

TEST_F(BackupReadTest, ALargeSparseFileIsListedAndSkippedWithoutReadingIt) {
    const std::string path = temp.AddFile("sparse.bin");
    ASSERT_EQ(truncate64(path.c_str(), 5LL << 30), 0);
    Handle file(OpenForBackup("D:\\sparse.bin"));
    ASSERT_TRUE(file.IsValid());
    Reading reading(file.Get(), FALSE);
    const std::string header = reading.Read(kHeaderSize);
    ASSERT_EQ(header.size(), kHeaderSize);
    EXPECT_EQ(DwordAt(header, 8), 0x40000000u);  // size low
    EXPECT_EQ(DwordAt(header, 12), 1u);          // size high

    ULONGLONG skipped = 0;
    EXPECT_TRUE(reading.Seek(1ULL << 32, skipped));
    EXPECT_EQ(skipped, 1ULL << 32);
    EXPECT_FALSE(reading.Seek(0x40000005, skipped));
    EXPECT_EQ(GetLastError(), kErrorSeek);
    EXPECT_EQ(skipped, 0x40000000u);
    EXPECT_EQ(reading.Read(64), "");
}

TEST_F(BackupReadTest, AReadNeverRunsIntoTheNextStream) {
    temp.AddFile("f", "abc");
    SetAttribute("f", "x", "yz");
    Handle file(OpenForBackup("D:\\f"));
    ASSERT_TRUE(file.IsValid());
    Reading reading(file.Get(), FALSE);
    // Header and data of {Data} in one go, but not a byte more.
    const std::string first = reading.Read(1000);
    ASSERT_EQ(first.size(), kHeaderSize + 3);
    EXPECT_EQ(first.substr(kHeaderSize), "abc");
    // A header can come in pieces too.
    const std::string start = reading.Read(7);
    const std::string rest = reading.Read(1000);
    ASSERT_EQ(start.size(), 7u);
    const std::string second = start + rest;
    ASSERT_EQ(second.size(), kHeaderSize + 16 + 2);  // ":x:$DATA" is 8 UTF-16 units
    EXPECT_EQ(DwordAt(second, 0), static_cast<DWORD>(BACKUP_ALTERNATE_DATA));
    EXPECT_EQ(DwordAt(second, 16), 16u);
    EXPECT_EQ(second.substr(kHeaderSize + 16), "yz");
    EXPECT_EQ(reading.Read(1000), "");
}

TEST_F(BackupReadTest, SeeksStopAtTheEndOfTheCurrentStream) {
    temp.AddFile("f", "0123456789");
    SetAttribute("f", "x", "tail");
    SetAttribute("f", "y", "");
    Handle file(OpenForBackup("D:\\f"));
    ASSERT_TRUE(file.IsValid());
    Reading reading(file.Get(), FALSE);
    ULONGLONG skipped = kStale;
    // Nothing is current before the first read, and a header cannot be skipped.
    EXPECT_FALSE(reading.Seek(1, skipped));
    EXPECT_EQ(GetLastError(), kErrorSeek);
    EXPECT_TRUE(reading.Seek(0, skipped));
    ASSERT_EQ(reading.Read(10).size(), 10u);
    EXPECT_FALSE(reading.Seek(1, skipped));
    EXPECT_EQ(skipped, 0u);
    ASSERT_EQ(reading.Read(10).size(), 10u);  // the rest of the header

    EXPECT_TRUE(reading.Seek(4, skipped));
    EXPECT_EQ(skipped, 4u);
    EXPECT_EQ(reading.Read(3), "456");
    SetLastError(kStale);
    EXPECT_FALSE(reading.Seek(10, skipped));
    EXPECT_EQ(GetLastError(), kErrorSeek);
    EXPECT_EQ(skipped, 3u);
    // At the end of a stream there is nothing left to skip; the next read
    // starts the next stream. A stream of size 0 is skipped with a count of 0.
    EXPECT_FALSE(reading.Seek(1, skipped));
    EXPECT_EQ(skipped, 0u);
    Stream next;
    int alternates = 0;
    for (; reading.Header(next); ++alternates) {
        EXPECT_TRUE(reading.Seek(next.size, skipped));
        EXPECT_EQ(skipped, next.size);
    }
    EXPECT_EQ(alternates, 2);
    EXPECT_EQ(reading.Read(64), "");
}

TEST_F(BackupReadTest, AttributeValuesAreReadWhenTheirDataIsAndMustStillFitTheirHeader) {
    temp.AddFile("f");
    SetAttribute("f", "same", "abc");
    SetAttribute("f", "grows", "abc");
    SetAttribute("f", "shrinks", "abc");
    SetAttribute("f", "goes", "abc");
    Handle file(OpenForBackup("D:\\f"));
    ASSERT_TRUE(file.IsValid());
    Reading reading(file.Get(), FALSE);
    Stream stream;
    ASSERT_TRUE(reading.Header(stream));  // {Data}, empty
    // Every header is made before any value changes.
    for (const std::string& name : ListedNames(temp.PathOf("f"))) {
        ASSERT_TRUE(reading.Header(stream));
        ASSERT_EQ(stream.size, 3u);
        if (name == "same") SetAttribute("f", name, "xyz");
        if (name == "grows") SetAttribute("f", name, "abcdef");
        if (name == "shrinks") SetAttribute("f", name, "ab");
        if (name == "goes") removexattr(temp.PathOf("f").c_str(), "user.goes");
        const std::string data = reading.Read(64);
        EXPECT_EQ(data, name == "same" ? "xyz" : "<error 13>") << name;
        ULONGLONG skipped = 0;
        EXPECT_TRUE(reading.Seek(3, skipped) || skipped == 0);  // past a failing value
    }
    EXPECT_EQ(reading.Read(64), "");
}

TEST_F(BackupReadTest, FileDataIsDeliveredUpToItsAnnouncedSize) {
    const std::string path = temp.AddFile("f", "0123456789");
    Handle file(OpenForBackup("D:\\f"));
    ASSERT_TRUE(file.IsValid());
    {
        Reading reading(file.Get(), FALSE);
        ASSERT_EQ(reading.Read(kHeaderSize).size(), kHeaderSize);
        temp.AddFile("f", "0123456789 and more");
        EXPECT_EQ(reading.Read(64), "0123456789");
        EXPECT_EQ(reading.Read(64), "");
    }
    Reading reading(file.Get(), FALSE);
    ASSERT_EQ(reading.Read(kHeaderSize).size(), kHeaderSize);
    ASSERT_EQ(truncate(path.c_str(), 4), 0);
    EXPECT_EQ(reading.Read(64), "0123");  // what is left goes out first
    EXPECT_EQ(reading.Read(64), "<error 13>");
}

TEST_F(BackupReadTest, ANameThatIsNotUtf8StopsTheReadingAtItsPlace) {
    const std::string path = temp.AddFile("f", "data");
    SetAttribute("f", "first", "1");
    SetAttribute("f", "\xff\xfe", "bad");
    SetAttribute("f", "last", "2");
    const std::vector<std::string> names = ListedNames(path);
    size_t before = 0;
    while (names[before] != "\xff\xfe") ++before;
    Handle file(OpenForBackup("D:\\f"));
    ASSERT_TRUE(file.IsValid());
    Reading reading(file.Get(), FALSE);
    const std::vector<Stream> delivered = reading.All();
    ASSERT_EQ(delivered.size(), 1 + before);
    for (size_t i = 0; i < before; ++i) EXPECT_EQ(delivered[1 + i].name, StreamName(names[i]));
    const std::string notUtf8 = "<error " + std::to_string(mvx::kErrorStreamNameNotUtf8) + ">";
    EXPECT_EQ(reading.Read(kHeaderSize), notUtf8);
    EXPECT_EQ(reading.Read(kHeaderSize), notUtf8);
    ULONGLONG skipped = 0;
    EXPECT_FALSE(reading.Seek(1, skipped));
}

TEST_F(BackupReadTest, SubstitutedBytesAreDeliveredAsOneFlatSequenceUntilSetAgain) {
    const std::string path = temp.AddFile("f", "real data");
    EXPECT_FALSE(mvx::SetBackupBytes(temp.PathOf("missing"), "x"));
    ASSERT_TRUE(mvx::SetBackupBytes(path, "twelve bytes"));
    ASSERT_EQ(symlink(path.c_str(), temp.PathOf("alias").c_str()), 0);
    Handle file(OpenForBackup("D:\\f")), alias(OpenForBackup("D:\\alias"));
    ASSERT_TRUE(file.IsValid());
    {
        Reading reading(alias.Get());  // the file, whatever name opened it
        EXPECT_EQ(reading.Read(kHeaderSize), "twelve bytes");
        EXPECT_EQ(reading.Read(kHeaderSize), "");
    }
    {
        Reading reading(file.Get());
        ULONGLONG skipped = 0;
        EXPECT_EQ(reading.Read(3), "twe");
        EXPECT_TRUE(reading.Seek(2, skipped));
        EXPECT_EQ(reading.Read(2), "e ");
        EXPECT_FALSE(reading.Seek(100, skipped));
        EXPECT_EQ(GetLastError(), kErrorSeek);
        EXPECT_EQ(skipped, 5u);
    }
    {
        // Setting the bytes anew, by any name of the file, restarts a reading
        // under way; clearing leaves that reading what it had.
        Reading reading(file.Get());
        EXPECT_EQ(reading.Read(5), "twelv");
        ASSERT_TRUE(mvx::SetBackupBytes(temp.PathOf("alias"), "second"));
        ULONGLONG skipped = 0;
        EXPECT_TRUE(reading.Seek(3, skipped));
        EXPECT_EQ(reading.Read(64), "ond");
        ASSERT_TRUE(mvx::SetBackupBytes(path, "third"));
        EXPECT_EQ(reading.Read(2), "th");
        mvx::ClearBackupBytes();
        EXPECT_EQ(reading.Read(64), "ird");
        ASSERT_TRUE(mvx::SetBackupBytes(path, "after clearing"));
        EXPECT_EQ(reading.Read(64), "");
    }
    mvx::ClearBackupBytes();
    Reading reading(file.Get(), FALSE);
    const std::vector<Stream> streams = reading.All();
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0].data, "real data");
}

TEST_F(BackupReadTest, AbortFreesTheContextAndInjectedFaultsLoseNothing) {
    temp.AddFile("f", "abc");
    SetAttribute("f", "x", "value");
    Handle file(OpenForBackup("D:\\f"));
    ASSERT_TRUE(file.IsValid());
    {
        Reading reading(file.Get(), FALSE);
        mvx::InjectFault("BackupRead", 1, ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(reading.Read(kHeaderSize), "<error 8>");
        EXPECT_EQ(*reading.Context(), nullptr);
        EXPECT_EQ(reading.Read(kHeaderSize + 1).size(), kHeaderSize + 1);
        mvx::InjectFault("BackupSeek", 1, ERROR_ACCESS_DENIED);
        ULONGLONG skipped = 0;
        EXPECT_FALSE(reading.Seek(1, skipped));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        mvx::InjectFault("BackupRead", 1, ERROR_ACCESS_DENIED);
        EXPECT_EQ(reading.Read(64), "<error 5>");
        EXPECT_EQ(reading.Read(64), "bc");
        ASSERT_EQ(reading.Read(kHeaderSize + 16 + 2).size(), kHeaderSize + 16 + 2);  // value held
        EXPECT_TRUE(BackupRead(file.Get(), nullptr, 0, nullptr, TRUE, FALSE, reading.Context()));
        EXPECT_EQ(*reading.Context(), nullptr);
    }
    // An abort that fails by injection still frees what it holds: callers
    // do not repeat it.
    Reading reading(file.Get());
    ASSERT_EQ(reading.Read(64).size(), kHeaderSize + 3);
    mvx::InjectFault("BackupRead", 1, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(BackupRead(file.Get(), nullptr, 0, nullptr, TRUE, FALSE, reading.Context()));
    EXPECT_EQ(*reading.Context(), nullptr);
}

TEST_F(BackupReadTest, RefusesHandlesItCannotReadFrom) {
    temp.AddFile("f", "abc");
    temp.AddFile("g", "def");
    Reading unknown(reinterpret_cast<HANDLE>(0x7777));
    EXPECT_EQ(unknown.Read(kHeaderSize), "<error 6>");
    Handle noAccess(OpenForBackup("D:\\f", 0));
    ASSERT_TRUE(noAccess.IsValid()) << GetLastError();
    Reading denied(noAccess.Get());
    EXPECT_EQ(denied.Read(kHeaderSize), "<error 5>");

    // A context belongs to the handle it was started on.
    Handle f(OpenForBackup("D:\\f")), g(OpenForBackup("D:\\g"));
    Reading reading(f.Get(), FALSE);
    ASSERT_EQ(reading.Read(kHeaderSize).size(), kHeaderSize);
    BYTE buffer[8];
    DWORD read = 0;
    EXPECT_FALSE(
        BackupRead(g.Get(), buffer, sizeof(buffer), &read, FALSE, FALSE, reading.Context()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(reading.Read(64), "abc");
}

}  // namespace
