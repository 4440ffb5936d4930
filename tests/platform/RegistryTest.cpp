#include "platform/RegistryFileCheck.h"
#include "platform/posix/text/CodePages.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/core/LayerErrors.h"
#include "EnvironmentSettingSupport.h"
#include "SocketFileSupport.h"
#include "TempDirectorySupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <dirent.h>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const char kKeyPath[] = "Software\\Host\\MORVEX";
const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";

std::set<std::string> Entries(const std::string& directory) {
    std::set<std::string> names;
    DIR* listing = opendir(directory.c_str());
    while (const dirent64* entry = listing ? readdir64(listing) : nullptr)
        if (entry->d_name[0] != '.') names.insert(entry->d_name);
    if (listing) closedir(listing);
    return names;
}

std::string Dword(DWORD value) { return std::string(reinterpret_cast<char*>(&value), 4); }

constexpr int kValuesPerWriter = 40;

std::string ValueName(int writer, int index) {
    return "Writer" + std::to_string(writer) + "-" + std::to_string(index);
}

// Stores this writer's values one by one; true when every one was stored.
bool WriteValues(int writer) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    bool stored = true;
    for (int index = 0; index < kValuesPerWriter; ++index) {
        std::string value = Dword(static_cast<DWORD>(writer * 1000 + index));
        stored &= RegSetValueExA(key, ValueName(writer, index).c_str(), 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(value.data()), 4) == ERROR_SUCCESS;
    }
    return RegCloseKey(key) == ERROR_SUCCESS && stored;
}

// Reads a value that never changes, over and over, while writers work.
bool ReadAnchorRepeatedly() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    bool readable = true;
    for (int round = 0; round < 400; ++round) {
        DWORD value = 0;
        DWORD size = 4;
        readable &= RegQueryValueExA(key, "Anchor", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
                    value == 42;
    }
    return RegCloseKey(key) == ERROR_SUCCESS && readable;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("MORVEX_REGISTRY", file.c_str(), 1);
        mvx::ClearFaults();
    }

    void TearDown() override {
        mvx::ClearFaults();
        mvx::SetCodePages(CP_UTF8, CP_UTF8);
    }

    static HKEY Create(const char* path, REGSAM access = KEY_ALL_ACCESS,
                       HKEY parent = HKEY_CURRENT_USER) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(parent, path, 0, nullptr, 0, access, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        return key;
    }

    static HKEY Open(const char* path, REGSAM access = KEY_ALL_ACCESS,
                     HKEY parent = HKEY_CURRENT_USER) {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExA(parent, path, 0, access, &key), ERROR_SUCCESS);
        return key;
    }

    static LONG Set(HKEY key, const char* name, const std::string& data, DWORD type = REG_DWORD) {
        return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                              static_cast<DWORD>(data.size()));
    }

    static LONG SetAt(const char* path, const char* name, DWORD value) {
        HKEY key = nullptr;
        LONG code = RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    &key, nullptr);
        if (code != ERROR_SUCCESS) return code;
        code = Set(key, name, Dword(value));
        RegCloseKey(key);
        return code;
    }

    // The value's bytes, or "error N".
    static std::string Query(HKEY key, const char* name, DWORD* type = nullptr) {
        DWORD size = 0;
        LONG code = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
        std::string data(size, '\0');
        if (code == ERROR_SUCCESS)
            code = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(&data[0]),
                                    &size);
        return code == ERROR_SUCCESS ? data.substr(0, size) : "error " + std::to_string(code);
    }

    static std::string QueryAt(const char* path, const char* name) {
        HKEY key = nullptr;
        LONG code = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key);
        if (code != ERROR_SUCCESS) return "error " + std::to_string(code);
        std::string data = Query(key, name);
        RegCloseKey(key);
        return data;
    }

    static void ExpectEveryValue(int writers) {
        HKEY key = Open(kKeyPath, KEY_READ);
        int missing = 0;
        for (int writer = 0; writer < writers; ++writer)
            for (int index = 0; index < kValuesPerWriter; ++index)
                missing += Query(key, ValueName(writer, index).c_str()) !=
                           Dword(static_cast<DWORD>(writer * 1000 + index));
        EXPECT_EQ(missing, 0);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }

    TempDirectory scratch;
    const std::string directory = scratch.Path();
    const std::string file = scratch.PathOf("registry.reg");
};

TEST_F(RegistryTest, KeysAndValuesSurviveClosingAndAFreshRead) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    EXPECT_EQ(Set(key, "UsedByDefault", Dword(10)), ERROR_SUCCESS);
    EXPECT_EQ(Set(key, "Title", std::string("a \"q\" C:\\p", 11), REG_SZ), ERROR_SUCCESS);
    EXPECT_EQ(Set(key, "Blob", std::string("\0\xff", 2), REG_BINARY), ERROR_SUCCESS);
    EXPECT_EQ(Set(key, "Long", std::string(8, '\1')), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    // The file is what other writers of the format write, and nothing else is left behind.
    EXPECT_EQ(scratch.Contents("registry.reg"), kHeader +
                                                    "[HKEY_CURRENT_USER]\n\n"
                                                    "[HKEY_CURRENT_USER\\Software]\n\n"
                                                    "[HKEY_CURRENT_USER\\Software\\Host]\n\n"
                                                    "[HKEY_CURRENT_USER\\Software\\Host\\MORVEX]\n"
                                                    "\"UsedByDefault\"=dword:0000000a\n"
                                                    "\"Title\"=\"a \\\"q\\\" C:\\\\p\"\n"
                                                    "\"Blob\"=hex:00,ff\n"
                                                    "\"Long\"=hex(4):01,01,01,01,01,01,01,01\n\n");
    EXPECT_EQ(Entries(directory), (std::set<std::string>{"registry.reg", "registry.reg.lock"}));

    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\host\\morvex", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    DWORD type = 0;
    EXPECT_EQ(Query(key, "usedbydefault", &type), Dword(10));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(Query(key, "TITLE", &type), std::string("a \"q\" C:\\p", 11));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Query(key, "Long", &type), std::string(8, '\1'));
    // Keys opened from a returned key work as parents too.
    HKEY sub = Create("Sub", KEY_ALL_ACCESS, key);
    HKEY again = Open("sub", KEY_READ, key);
    EXPECT_EQ(Set(sub, "Count", Dword(42)), ERROR_SUCCESS);
    EXPECT_EQ(Query(again, "count"), Dword(42));
    for (HKEY open : {key, sub, again}) EXPECT_EQ(RegCloseKey(open), ERROR_SUCCESS);
}

TEST_F(RegistryTest, QueryTellsTheSizeAndAsksForMoreRoom) {
    HKEY key = Create(kKeyPath);
    ASSERT_EQ(Set(key, "Text", std::string("12345", 6), REG_SZ), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    char buffer[8] = "xxxxxxx";
    size = 5;
    type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(buffer, "xxxxxxx");
    size = 8;
    EXPECT_EQ(
        RegQueryValueExA(key, "Text", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_STREQ(buffer, "12345");
    EXPECT_EQ(RegQueryValueExA(key, "Text", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(
        RegQueryValueExA(key, "Text", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), nullptr),
        ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExA(key, "Text", &size, nullptr, nullptr, &size),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, MissingThingsAreNotFoundAndTheDefaultValueHasNoName) {
    HKEY key = Create(kKeyPath);
    EXPECT_EQ(Query(key, "Missing"), "error 2");
    EXPECT_EQ(Query(key, nullptr), "error 2");
    HKEY missing = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(key, "Nothing", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);

    ASSERT_EQ(Set(key, nullptr, std::string("first", 6), REG_SZ), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "", std::string("second", 7), REG_SZ), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, nullptr), std::string("second", 7));
    EXPECT_NE(scratch.Contents("registry.reg").find("]\n@=\"second\"\n"), std::string::npos);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    HKEY key = Create("\xC3\x84rger");
    ASSERT_EQ(Set(key, "ParseSecurity", Dword(1)), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "PARSESECURITY", Dword(0)), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "\xD0\x96", Dword(1)), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "\xD0\xB6", Dword(2)), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(QueryAt("\xC3\xA4RGER", "parsesecurity"), Dword(0));
    EXPECT_NE(scratch.Contents("registry.reg")
                  .find("[HKEY_CURRENT_USER\\\xC3\x84rger]\n"
                        "\"ParseSecurity\"=dword:00000000\n"
                        "\"\xD0\x96\"=dword:00000002\n\n"),
              std::string::npos);
}

TEST_F(RegistryTest, ValuesKeepTheBytesAndTypeTheyWereGiven) {
    HKEY key = Create(kKeyPath);
    const std::pair<DWORD, std::string> cases[] = {
        {REG_DWORD, std::string("\1\2", 2)},
        {REG_SZ, "unterminated"},
        {REG_SZ, std::string("a\r\nb\0", 5)},
        {REG_SZ, std::string("a\0b\0", 4)},
        {REG_BINARY, ""},
        {0x12345678, std::string("\xff\0", 2)},
    };
    for (std::size_t n = 0; n < std::size(cases); ++n)
        EXPECT_EQ(Set(key, std::to_string(n).c_str(), cases[n].second, cases[n].first),
                  ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "Null", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

    key = Open(kKeyPath, KEY_READ);
    for (std::size_t n = 0; n < std::size(cases); ++n) {
        DWORD type = 0;
        EXPECT_EQ(Query(key, std::to_string(n).c_str(), &type), cases[n].second);
        EXPECT_EQ(type, cases[n].first);
    }
    EXPECT_EQ(Query(key, "Null"), "error 2");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, AccessRightsAreHonoured) {
    HKEY full = Create(kKeyPath);
    HKEY reader = Open(kKeyPath, KEY_READ);
    HKEY writer = Open(kKeyPath, KEY_SET_VALUE);
    HKEY generic = Open(kKeyPath, GENERIC_READ);
    EXPECT_EQ(Set(writer, "Value", Dword(3)), ERROR_SUCCESS);
    EXPECT_EQ(Query(writer, "Value"), "error 5");
    EXPECT_EQ(Set(reader, "Value", Dword(2)), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Set(generic, "Value", Dword(2)), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Query(generic, "Value"), Dword(3));
    // Making a sub-key takes the right to; opening an existing one does not.
    HKEY sub = nullptr;
    EXPECT_EQ(RegCreateKeyExA(reader, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_ACCESS_DENIED);
    HKEY software = Open("Software", KEY_READ);
    HKEY host = Create("Host", KEY_READ, software);
    for (HKEY key : {full, reader, writer, generic, software, host})
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, SubKeyPathsFollowTheRegistryRules) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "\\Software", 0, KEY_READ, &key),
              ERROR_BAD_PATHNAME);
    for (const std::string& bad : {std::string("\\Software"), std::string("A\\\\B"),
                                   "A\\B\\" + std::string(256, 'n'), std::string("A\\B\nC")})
        EXPECT_NE(RegCreateKeyExA(HKEY_CURRENT_USER, bad.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS)
            << bad;
    // A failed creation leaves nothing half-made: no key on the way, no file.
    EXPECT_EQ(key, nullptr);
    EXPECT_FALSE(scratch.Exists("registry.reg"));

    // The longest name fits; a trailing backslash is allowed.
    std::string longest = "A\\" + std::string(255, 'n');
    HKEY made = Create((longest + "\\").c_str());
    HKEY again = Open(longest.c_str());
    // Null and empty sub-keys open the key itself, each with its own handle.
    HKEY same = Open(nullptr, KEY_ALL_ACCESS, again);
    HKEY also = Create("", KEY_ALL_ACCESS, same);
    EXPECT_NE(same, again);
    EXPECT_NE(also, same);
    EXPECT_EQ(RegCloseKey(again), ERROR_SUCCESS);
    EXPECT_EQ(Set(same, "Through", Dword(1)), ERROR_SUCCESS);
    EXPECT_EQ(Query(also, "through"), Dword(1));
    for (HKEY open : {made, same, also}) EXPECT_EQ(RegCloseKey(open), ERROR_SUCCESS);

    std::string deep = "k";
    for (int depth = 1; depth < 512; ++depth) deep += "\\k";
    EXPECT_EQ(SetAt(deep.c_str(), "Deep", 1), ERROR_SUCCESS);
    EXPECT_EQ(SetAt((deep + "\\k").c_str(), "Deeper", 1), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, OnlyTheCurrentUserHiveExists) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, nullptr, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(Set(HKEY_CLASSES_ROOT, "Value", Dword(1)), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Query(HKEY_CLASSES_ROOT, "Value"), "error 2");
    EXPECT_FALSE(scratch.Exists("registry.reg"));
    // The predefined handle itself takes values and is never really closed.
    EXPECT_EQ(Set(HKEY_CURRENT_USER, "AtRoot", Dword(5)), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "atroot"), Dword(5));
}

TEST_F(RegistryTest, UnknownAndClosedHandlesAreRefused) {
    HKEY key = Create(kKeyPath);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    HKEY out = nullptr;
    for (HKEY bad : {key, static_cast<HKEY>(nullptr), reinterpret_cast<HKEY>(0x1234567)}) {
        EXPECT_EQ(RegCloseKey(bad), ERROR_INVALID_HANDLE);
        EXPECT_EQ(Set(bad, "Value", Dword(1)), ERROR_INVALID_HANDLE);
        EXPECT_EQ(Query(bad, "Value"), "error 6");
        EXPECT_EQ(RegOpenKeyExA(bad, nullptr, 0, KEY_READ, &out), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCreateKeyExA(bad, "Sub", 0, nullptr, 0, KEY_READ, nullptr, &out, nullptr),
                  ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, nullptr),
              ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, AKeyTakenAwayByAnotherProcessIsNoticed) {
    HKEY key = Create(kKeyPath);
    ASSERT_EQ(remove(file.c_str()), 0);
    HKEY sub = nullptr;
    EXPECT_EQ(Query(key, "Value"), "error 1018");
    EXPECT_EQ(Set(key, "Value", Dword(2)), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCreateKeyExA(key, "Sub", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr),
              ERROR_KEY_DELETED);
    EXPECT_FALSE(scratch.Exists("registry.reg"));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, TextIsKeptInUtf8WhateverTheAnsiPage) {
    mvx::SetCodePages(1252, 0);
    HKEY key = Create(
        "Gr\xF6\xDF"
        "e");
    ASSERT_EQ(Set(key, "Caf\xE9", std::string("na\xEFve", 6), REG_SZ), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    std::string text = scratch.Contents("registry.reg");
    EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Gr\xC3\xB6\xC3\x9F"
                        "e]\n"
                        "\"Caf\xC3\xA9\"=\"na\xC3\xAFve\"\n"),
              std::string::npos);

    mvx::SetCodePages(CP_UTF8, 0);
    key = Open(
        "GR\xC3\x96\xC3\x9F"
        "E");
    EXPECT_EQ(Query(key, "CAF\xC3\x89"), std::string("na\xC3\xAFve", 7));
    // A name that is no text in the ANSI page is refused, not stored.
    EXPECT_EQ(Set(key, "\xFF\xFE", Dword(1)), ERROR_NO_UNICODE_TRANSLATION);
    EXPECT_EQ(scratch.Contents("registry.reg"), text);
    // Text the ANSI page cannot hold is refused rather than approximated.
    ASSERT_EQ(Set(key, nullptr, std::string("\xC3\xAF", 3), REG_SZ), ERROR_SUCCESS);
    mvx::SetCodePages(866, 0);
    EXPECT_EQ(Query(key, nullptr), "error 1113");
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, EveryFunctionFailsCleanlyThroughFaultInjection) {
    HKEY key = Create(kKeyPath);
    ASSERT_EQ(Set(key, "Value", Dword(1)), ERROR_SUCCESS);
    std::string before = scratch.Contents("registry.reg");
    HKEY out = nullptr;
    mvx::InjectFault("RegOpenKeyExA", 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, KEY_READ, &out), ERROR_ACCESS_DENIED);
    mvx::InjectFault("RegCreateKeyExA", 1, ERROR_DISK_FULL);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &out, nullptr),
              ERROR_DISK_FULL);
    EXPECT_EQ(out, nullptr);
    mvx::InjectFault("RegSetValueExA", 1, ERROR_DISK_FULL);
    EXPECT_EQ(Set(key, "Value", Dword(2)), ERROR_DISK_FULL);
    EXPECT_EQ(scratch.Contents("registry.reg"), before);
    mvx::InjectFault("RegQueryValueExA", 1, ERROR_INVALID_DATA);
    EXPECT_EQ(Query(key, "Value"), "error 13");
    mvx::InjectFault("RegCloseKey", 1, ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    // The failed close left the key open and usable.
    EXPECT_EQ(Query(key, "Value"), Dword(1));
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegistryTest, ReadsTheFormsOtherWritersUse) {
    // A byte order mark, CR LF, a key before its parent, short and uppercase
    // hex, a list continued over lines, and a key given twice.
    scratch.AddFile("registry.reg",
                    "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n"
                    "[HKEY_CURRENT_USER\\A\\B]\r\n"
                    "\"Count\"=dword:A\r\n"
                    "\"Q\"=hex(b):01,FF,00,00,\\\r\n"
                    "  00,00,00,00\r\n"
                    "\r\n"
                    "[HKEY_CURRENT_USER\\A]   \r\n"
                    "@=\"top\"\r\n"
                    "[HKEY_CURRENT_USER\\a\\b]\r\n"
                    "\"count\"=dword:b\r\n");
    EXPECT_EQ(QueryAt("A\\B", "COUNT"), Dword(11));
    EXPECT_EQ(QueryAt("a\\b", "q"), std::string("\x01\xff\0\0\0\0\0\0", 8));
    EXPECT_EQ(QueryAt("A", nullptr), std::string("top", 4));
    // Writing changes no line it need not, in the file's encoding and line ends.
    const std::string before = scratch.Contents("registry.reg");
    ASSERT_EQ(SetAt("A", "New", 1), ERROR_SUCCESS);
    std::string expected = before;
    expected.insert(expected.find("@=\"top\"\r\n") + 9, "\"New\"=dword:00000001\r\n");
    EXPECT_EQ(scratch.Contents("registry.reg"), expected);
    ASSERT_EQ(SetAt("A\\B", "Q", 2), ERROR_SUCCESS);
    const std::size_t q = expected.find("\"Q\"");
    expected.replace(q, expected.find("\r\n", expected.find("  00,00")) - q, "\"Q\"=dword:00000002");
    EXPECT_EQ(scratch.Contents("registry.reg"), expected);

    // UTF-16LE with its byte order mark, as exported files often are, stays so.
    std::string wide = "\xFF\xFE";
    for (char c : std::string("REGEDIT4\r\n[HKEY_CURRENT_USER\\W]\r\n\"\xE9\"=dword:3\r\n"))
        wide += std::string{c, '\0'};
    scratch.AddFile("registry.reg", wide);
    EXPECT_EQ(QueryAt("W", "\xC3\xA9"), Dword(3));
    ASSERT_EQ(SetAt("W", "\xC3\xA9", 4), ERROR_SUCCESS);
    std::string rewritten = "\xFF\xFE";
    for (char c : std::string("REGEDIT4\r\n[HKEY_CURRENT_USER\\W]\r\n\"\xE9\"=dword:00000004\r\n"))
        rewritten += std::string{c, '\0'};
    EXPECT_EQ(scratch.Contents("registry.reg"), rewritten);
}

// Each line is read on its own: one that cannot be read is told with its line
// number and kept where it is when the file is written; nothing is dropped.
TEST_F(RegistryTest, EachLineIsReadOrToldAndKeptAsItIs) {
    const std::string section = "[HKEY_CURRENT_USER\\Key]\n\"Value\"=dword:00000001\n";
    struct Case {
        std::string text;
        const char* value;     // a value of Key to ask for
        std::string read;      // what it reads as, or "error 2"
        std::vector<std::size_t> told;  // the lines of the notices
    };
    const std::string one = Dword(1);
    const Case cases[] = {
        {"", "Value", "error 2", {}},
        {"\n\r\n", "Value", "error 2", {}},
        {"REGEDIT4\n\n" + section, "Value", one, {}},
        {kHeader + "; a comment\n" + section + "  ; indented\n", "Value", one, {}},
        {kHeader + "\"Orphan\"=dword:00000001\n" + section, "Orphan", "error 2", {3}},
        {kHeader + section + "[HKEY_LOCAL_MACHINE\\Key]\n\"Value\"=dword:2\n", "Value", one, {5}},
        {kHeader + section + "[HKEY_CURRENT_USER\\A\\\\B]\n\"Value\"=dword:2\n", "Value", one, {5}},
        {kHeader + section + "[HKEY_CURRENT_USER\\Key\n", "Value", one, {5}},
        {kHeader + section + "[Key]\n", "Value", one, {5}},
        {kHeader + section + "\"Gone\"=-\n", "Value", one, {}},
        {kHeader + section + "\"Value\"=-\n", "Value", "error 2", {}},
        {kHeader + section + "[-HKEY_CURRENT_USER\\Key]\n\"Late\"=dword:1\n", "Value", "error 2",
         {6}},
        {kHeader + section + "[-HKEY_CURRENT_USER\\Key]\n" + section, "Value", one, {}},
        {kHeader + section + "\"Bad\"=\"escape \\n\"\n", "Bad", "error 2", {5}},
        {kHeader + section + "\"After\"=\"text\" tail\n", "After", "error 2", {5}},
        {kHeader + section + "\"D\"=dword:\n", "D", "error 2", {5}},
        {kHeader + section + "\"D\"=dword:f\n", "D", Dword(15), {}},
        {kHeader + section + "\"D\"=dword:FfFfFfFf\n", "D", Dword(0xFFFFFFFF), {}},
        {kHeader + section + "\"D\"=dword:123456789\n", "D", "error 2", {5}},
        {kHeader + section + "\"D\"=dword:0000000g\n", "D", "error 2", {5}},
        {kHeader + section + "\"Q\"=qword:1\n", "Q", "error 2", {5}},
        {kHeader + section + "\"Bytes\"=hex:01,,102\n", "Bytes", "error 2", {5}},
        {kHeader + section + "\"Bytes\"=hex:1,2\n", "Bytes", "\x01\x02", {}},
        {kHeader + section + "\"T\"=hex(x):01\n", "T", "error 2", {5}},
        {kHeader + section + "\"Cut\"=hex:01,\\\n", "Cut", "error 2", {5}},
        // Cut short with backslashes to spare, at the end of the file: what
        // is written after it later is still read.
        {kHeader + section + "\"Cut\"=hex:01,\\\\\\\n", "Cut", "error 2", {5}},
        {kHeader + section + "\"Cut\"=hex:01,\\\\\\", "Cut", "error 2", {5}},
        {kHeader + section + "\"Long\"=hex:01,\\\n  02,\\\n  zz\n\"Next\"=dword:1\n", "Next", one,
         {5}},
        {kHeader + section + "@=\"default\"\n", "", std::string("default", 8), {}},
        {kHeader + section + "\"\xC3\x28\"=dword:1\n", "Value", one, {5}},
        {kHeader + section + std::string("\"Nul\"=\"a\0b\"\n", 12), "Nul", "error 2", {5}},
        {kHeader + section + "stray words\n\"Value\"=dword:3\n", "Value", Dword(3), {5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        scratch.AddFile("registry.reg", c.text);
        EXPECT_EQ(QueryAt("Key", c.value), c.read);
        const mvx::RegistryFileCheck check = mvx::CheckRegistryFile();
        EXPECT_EQ(check.code, ERROR_SUCCESS);
        std::vector<std::size_t> told;
        for (const mvx::RegistryFileNotice& notice : check.notices) told.push_back(notice.line);
        EXPECT_EQ(told, c.told);

        ASSERT_EQ(SetAt("Key", "Value", 7), ERROR_SUCCESS);
        ASSERT_EQ(SetAt("Other\\Key", "New", 8), ERROR_SUCCESS);
        EXPECT_EQ(QueryAt("Key", "Value"), Dword(7));
        EXPECT_EQ(QueryAt("Other\\Key", "New"), Dword(8));
        const std::string written = scratch.Contents("registry.reg");
        for (const mvx::RegistryFileNotice& notice : check.notices) {
            std::size_t start = 0;
            for (std::size_t line = 1; line < notice.line; ++line) start = c.text.find('\n', start) + 1;
            const std::string kept = c.text.substr(start, c.text.find('\n', start) - start);
            EXPECT_NE(written.find(kept + "\n"), std::string::npos) << kept;
        }
        EXPECT_EQ(mvx::CheckRegistryFile().notices.size(), check.notices.size());
    }
}

// A value added to a key goes after the key's last line, even one that is a
// hex list cut short: the list ends there and the new value is read.
TEST_F(RegistryTest, AValueAfterACutHexListIsReadBack) {
    for (const char* cut : {"\"Cut\"=hex:01,\\", "\"Cut\"=hex:01,\\\\\\", "@=hex:01,\\\\\n"}) {
        SCOPED_TRACE(cut);
        const std::string text = kHeader + "[HKEY_CURRENT_USER\\Key]\n" + cut;
        scratch.AddFile("registry.reg", text);
        ASSERT_EQ(SetAt("Key", "New", 8), ERROR_SUCCESS);
        EXPECT_EQ(QueryAt("Key", "New"), Dword(8));
        EXPECT_NE(scratch.Contents("registry.reg").find(cut), std::string::npos);
    }
}

TEST_F(RegistryTest, ANoticeTellsWhyTheLineWasNotRead) {
    scratch.AddFile("registry.reg", kHeader + "[HKEY_CURRENT_USER\\Key]\n\"D\"=dword:123456789\n"
                                    "[HKEY_LOCAL_MACHINE\\Key]\n");
    const mvx::RegistryFileCheck check = mvx::CheckRegistryFile();
    EXPECT_EQ(check.path, file);
    ASSERT_EQ(check.notices.size(), 2u);
    EXPECT_EQ(check.notices[0].what,
              "cannot read this line (dword: takes 1 to 8 hex digits); it is kept as it is");
    EXPECT_EQ(check.notices[1].what,
              "a key outside HKEY_CURRENT_USER is not read; it is kept as it is, with its values");
}

// A file that cannot be read at all is never taken for an empty registry:
// every function fails with the reason and the file is left as it is.
TEST_F(RegistryTest, AFileThatCannotBeReadIsRefusedAndLeftAlone) {
    const LONG notRegistry = static_cast<LONG>(mvx::kErrorRegistryNotRegistryText);
    struct Case {
        const char* what;
        std::string text;
        mode_t mode;
        LONG code;
    };
    const Case cases[] = {
        {"no permission", kHeader, 0, ERROR_ACCESS_DENIED},
        {"another first line", "[HKEY_CURRENT_USER\\Key]\n", 0600, notRegistry},
        {"a header with a typo", "Windows Registry Editor Version 5.0\n", 0600, notRegistry},
        {"UTF-16 of an odd length", "\xFF\xFER\0E\0", 0600, notRegistry},
        {"UTF-16 with a lone surrogate", std::string("\xFF\xFE\x00\xD8R\0", 6), 0600,
         notRegistry},
        {"UTF-16 without its mark", std::string("R\0E\0G\0", 6), 0600, notRegistry},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        scratch.AddFile("registry.reg", c.text);
        ASSERT_EQ(chmod(file.c_str(), c.mode), 0);
        // The superuser reads every file, so the refusal is asked as another user.
        const bool asOther = c.mode == 0 && geteuid() == 0;
        const pid_t child = asOther ? fork() : 0;
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (asOther && setuid(65534) != 0) _exit(2);
            const bool refused = QueryAt("Key", "Value") == "error " + std::to_string(c.code) &&
                                 SetAt("Key", "Value", 1) == c.code &&
                                 mvx::CheckRegistryFile().code == c.code;
            if (asOther) _exit(refused ? 0 : 1);
            EXPECT_TRUE(refused);
        } else {
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        ASSERT_EQ(chmod(file.c_str(), 0600), 0);
        EXPECT_EQ(scratch.Contents("registry.reg"), c.text);
    }
    ASSERT_EQ(remove(file.c_str()), 0);
    ASSERT_EQ(mkdir(file.c_str(), 0700), 0);
    EXPECT_EQ(QueryAt("Key", "Value"), "error " + std::to_string(mvx::kErrorRegistryNotAFile));
    EXPECT_EQ(SetAt("Key", "Value", 1), static_cast<LONG>(mvx::kErrorRegistryNotAFile));
    EXPECT_EQ(Entries(directory), (std::set<std::string>{"registry.reg"}));
}

TEST_F(RegistryTest, AnOversizedFileIsRefusedRatherThanReadWhole) {
    scratch.AddFile("registry.reg",
                    kHeader + "[HKEY_CURRENT_USER\\Key]\n\"Value\"=dword:00000001\n");
    ASSERT_EQ(truncate(file.c_str(), 16 * 1024 * 1024 + 1), 0);
    EXPECT_EQ(QueryAt("Key", "Value"), "error 223");
    EXPECT_EQ(SetAt("Key", "Value", 2), ERROR_FILE_TOO_LARGE);
    struct stat status;
    ASSERT_EQ(stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_size, 16 * 1024 * 1024 + 1);
    // No change may grow the file past that size either.
    scratch.AddFile("registry.reg",
                    kHeader + "[HKEY_CURRENT_USER\\Key]\n\"Value\"=dword:00000001\n");
    std::string before = scratch.Contents("registry.reg");
    HKEY key = Open("Key");
    EXPECT_EQ(Set(key, "Big", std::string(6 * 1024 * 1024, 'x'), REG_BINARY), ERROR_FILE_TOO_LARGE);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(scratch.Contents("registry.reg"), before);
}

// A device, pipe, socket or directory at the registry path, named or linked,
// is never written and gets nothing made beside it; a link to a file works.
TEST_F(RegistryTest, APathThatIsNoRegularFileIsRefusedAndNothingIsMadeBesideIt) {
    const LONG refused = static_cast<LONG>(mvx::kErrorRegistryNotAFile);
    const std::string fifo = scratch.PathOf("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string socketPath = MakeSocketFile(scratch.PathOf("socket"));
    const std::string regular = scratch.AddFile("settings.reg", kHeader);
    struct Case {
        const char* what;
        std::string path;      // MORVEX_REGISTRY
        std::string linkedTo;  // the path is made a link to this, or empty
        LONG code;
    };
    const Case cases[] = {
        {"a device", "/dev/null", "", refused},
        {"a pipe", fifo, "", refused},
        {"a socket", socketPath, "", refused},
        {"a directory", scratch.AddDirectory("folder"), "", refused},
        {"a link to a device", scratch.PathOf("to-device"), "/dev/null", refused},
        {"a link to a pipe", scratch.PathOf("to-pipe"), fifo, refused},
        {"a link to a regular file", scratch.PathOf("to-file"), regular, ERROR_SUCCESS},
        {"a missing file", scratch.PathOf("new.reg"), "", ERROR_SUCCESS},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.linkedTo.empty()) {
            ASSERT_EQ(symlink(c.linkedTo.c_str(), c.path.c_str()), 0);
        }
        setenv("MORVEX_REGISTRY", c.path.c_str(), 1);
        const std::set<std::string> before = Entries(directory);
        EXPECT_EQ(SetAt("Key", "Value", 5), c.code);
        EXPECT_EQ(QueryAt("Key", "Value"),
                  c.code == ERROR_SUCCESS ? Dword(5) : "error " + std::to_string(c.code));
        const std::string target = c.linkedTo.empty() ? c.path : c.linkedTo;
        struct stat status;
        const bool lockMade = lstat((target + ".lock").c_str(), &status) == 0;
        EXPECT_EQ(lockMade, c.code == ERROR_SUCCESS);
        if (lockMade && target.compare(0, 5, "/dev/") == 0) unlink((target + ".lock").c_str());
        if (c.code != ERROR_SUCCESS) {
            EXPECT_EQ(Entries(directory), before);
        }
    }
    EXPECT_NE(scratch.Contents("settings.reg").find("\"Value\"=dword:00000005"), std::string::npos);
}

// Every command loads the whole file, so a key of many values must load in
// time linear in their number. The bound is tens of times what a linear load
// takes and a small part of what a load comparing every name pair takes.
// A key of many values is read whole, and its first, last and one past its
// last value are found; how long that takes is bench_registry's to measure.
TEST_F(RegistryTest, AKeyOfManyValuesIsReadWhole) {
    for (const int values : {1000, 100000}) {
        SCOPED_TRACE(values);
        std::string text = kHeader + "[HKEY_CURRENT_USER\\Key]\n";
        for (int i = 0; i < values; ++i)
            text += "\"Value" + std::to_string(i) + "\"=dword:" + "0000002a\n";
        scratch.AddFile("registry.reg", text);
        EXPECT_EQ(QueryAt("Key", "value0"), Dword(42));
        EXPECT_EQ(QueryAt("Key", ("VALUE" + std::to_string(values - 1)).c_str()), Dword(42));
        EXPECT_EQ(QueryAt("Key", ("Value" + std::to_string(values)).c_str()), "error 2");
    }
}

// The index by folded name finds a value or key exactly where comparing the
// names one by one would, in every script whose case the registry folds.
TEST_F(RegistryTest, TheNameIndexFindsWhatCaseFoldingCallsTheSame) {
    struct Case {
        std::string stored;
        std::string asked;
        bool found;
    };
    const Case cases[] = {
        {"Value", "vALUE", true},
        {"Value", "Value ", false},
        {"caf\xC3\xA9", "CAF\xC3\x89", true},  // é and É
        {"\xC3\xBF", "\xC5\xB8", true},        // ÿ and Ÿ, outside Latin-1
        {"\xCF\x82", "\xCE\xA3", true},        // final sigma and capital sigma
        {"\xD1\x8F", "\xD0\xAF", true},        // я and Я
        {"\xEF\xBD\x81", "\xEF\xBC\xA1", true},  // full-width a and A
        {"\xEF\xBD\x81", "a", false},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored + " / " + c.asked);
        const std::string parent = "Index" + std::to_string(round++) + "\\";
        std::string path = parent + c.stored;
        HKEY key = Create(path.c_str());
        for (DWORD i = 0; i < 3; ++i)
            EXPECT_EQ(Set(key, ("Other" + std::to_string(i)).c_str(), Dword(i)), ERROR_SUCCESS);
        EXPECT_EQ(Set(key, c.stored.c_str(), Dword(9)), ERROR_SUCCESS);
        EXPECT_EQ(Query(key, c.asked.c_str()), c.found ? Dword(9) : "error 2");
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        path = parent + c.asked;
        EXPECT_EQ(QueryAt(path.c_str(), c.stored.c_str()), c.found ? Dword(9) : "error 2");
    }
}

TEST_F(RegistryTest, ALinkedFileStaysLinked) {
    std::string target = scratch.AddFile("settings.reg", kHeader);
    ASSERT_EQ(symlink(target.c_str(), file.c_str()), 0);
    ASSERT_EQ(SetAt("Key", "Value", 3), ERROR_SUCCESS);
    struct stat status;
    ASSERT_EQ(lstat(file.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_NE(scratch.Contents("settings.reg").find("\"Value\"=dword:00000003"), std::string::npos);
}

TEST_F(RegistryTest, TheFileLivesInTheUserConfigurationByDefault) {
    const EnvironmentSetting noFile("MORVEX_REGISTRY", nullptr);
    {
        const EnvironmentSetting xdg("XDG_CONFIG_HOME", directory + "/config");
        ASSERT_EQ(SetAt("Key", "Value", 1), ERROR_SUCCESS);
        EXPECT_TRUE(scratch.Exists("config/morvex/registry.reg"));
    }
    // A relative XDG directory is no XDG directory.
    const EnvironmentSetting xdg("XDG_CONFIG_HOME", "relative");
    const EnvironmentSetting home("HOME", directory);
    ASSERT_EQ(SetAt("Key", "Value", 2), ERROR_SUCCESS);
    struct stat status;
    EXPECT_TRUE(scratch.Exists(".config/morvex/registry.reg"));
    ASSERT_EQ(stat((directory + "/.config/morvex").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u);
}

// Each change is made on the file as it is at that moment, so writers at once
// lose nothing, and a reader never meets a file half written.
TEST_F(RegistryTest, WriterProcessesAtOnceLoseNothing) {
    constexpr int kWriters = 3;
    ASSERT_EQ(SetAt(kKeyPath, "Anchor", 42), ERROR_SUCCESS);
    // The children wait on the pipe, so all of them start together.
    int start[2];
    ASSERT_EQ(pipe(start), 0);
    std::vector<pid_t> children;
    for (int child = 0; child <= kWriters; ++child) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            close(start[1]);
            char go;
            bool done = read(start[0], &go, 1) == 0 &&
                        (child < kWriters ? WriteValues(child) : ReadAnchorRepeatedly());
            _exit(done ? 0 : 1);
        }
        children.push_back(pid);
    }
    close(start[0]);
    close(start[1]);
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child " << pid;
    }
    ExpectEveryValue(kWriters);
}

TEST_F(RegistryTest, WriterThreadsAtOnceLoseNothing) {
    constexpr int kWriters = 2;
    HKEY key = Create(kKeyPath);
    bool stored[kWriters] = {};
    std::vector<std::thread> threads;
    for (int writer = 0; writer < kWriters; ++writer)
        threads.emplace_back([writer, &stored] { stored[writer] = WriteValues(writer); });
    for (std::thread& thread : threads) thread.join();
    for (bool ok : stored) EXPECT_TRUE(ok);
    ExpectEveryValue(kWriters);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

}  // namespace
