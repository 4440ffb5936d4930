#include "tests/host/StreamRoundTripSupport.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "host/module/BuildLocation.h"
#include "host/text/Utf8Text.h"
#include "tests/host/ProgramRunSupport.h"

namespace {

// Where `get` writes, two levels below the work directory, so that a name
// which led upwards would land in the walked tree.
const char kOut[] = "a/b/out";

// Relative paths of everything below `root`.
std::set<std::string> Walk(const std::string& root) {
    std::set<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        entries.insert(std::filesystem::relative(entry.path(), root).string());
    return entries;
}

std::string FileContents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// What appeared below `workDir` since `before`, but for the destination's
// own folders.
std::vector<std::string> NewEntries(const std::string& workDir,
                                    const std::set<std::string>& before) {
    std::vector<std::string> entries;
    for (const std::string& entry : Walk(workDir)) {
        if (before.count(entry) == 0 && std::string(kOut).rfind(entry, 0) != 0)
            entries.push_back(entry);
    }
    return entries;
}

ProgramRun Morvex(const std::vector<std::string>& arguments,
                  const std::vector<std::string>& environment, const std::string& directory) {
    return RunProgram(FindBuildFile("morvex"), arguments, {environment, "", directory});
}

}  // namespace

std::vector<std::string> NameAlphabet(unsigned codePage) {
    std::vector<std::string> alphabet;
    for (unsigned byte = 1; byte < 0x80; ++byte)
        alphabet.push_back(std::string(1, static_cast<char>(byte)));
    if (codePage == CP_UTF8) {
        // The first and last of each UTF-8 length, and some between.
        for (const char* character : {"\u0080", "\u00E9", "\u07FF", "\u0800", "\u20AC", "\uFFFD",
                                      "\U00010000", "\U0001F600", "\U0010FFFD"})
            alphabet.push_back(character);
        return alphabet;
    }
    for (unsigned byte = 0x80; byte <= 0xFF; ++byte) {
        const char text[2] = {static_cast<char>(byte), 0};
        std::string utf8 = ToUtf8(text, codePage);
        // Bytes the page leaves undefined carry no character.
        if (utf8 != "\xEF\xBF\xBD")
            alphabet.push_back(utf8);
    }
    return alphabet;
}

StreamSet RandomStreams(const std::vector<std::string>& alphabet, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::string> characters;
    for (const std::string& character : alphabet) {
        if (character != "/" && character != "\\" && character != ":")
            characters.push_back(character);
    }
    std::shuffle(characters.begin(), characters.end(), random);
    StreamSet streams;
    auto add = [&](const std::string& name) {
        std::string data(random() % 48, '\0');
        for (char& byte : data)
            byte = static_cast<char>(random());
        // Each content is its own, so that a copy tells which stream it came from.
        streams[name] = std::to_string(streams.size()) + ":" + data;
    };
    for (size_t at = 0; at < characters.size();) {
        size_t length = 1 + random() % 12;
        std::string name;
        for (; length > 0 && at < characters.size(); --length)
            name += characters[at++];
        // Windows drops a trailing dot or blank from a name it is given.
        if (name.back() == '.' || name.back() == ' ')
            name += "x";
        add(name);
    }
    for (const char* name : {"[", "]", "a[b]c", "[65]", "[x", "{", "}", "{x}", "{Data",
                             "{Data}", "{Security_Data}x", ".x", " lead"})
        add(name);
    return streams;
}

std::vector<UnreachableName> UnreachableStreamNames() {
    // Linux keeps the stream part of path:name as it stands, so each is
    // reached and lands in the destination under its escaped item name.
    return {{"..\\..\\x", ""}, {"../x", ""}, {"a/b", ""},     {"a\\b", ""},
            {"..", ""},        {".", ""},    {"trail.", ""}, {"trail ", ""},
            {"a:b", ""},       {":", ""}};
}

void ExpectRefused(const std::string& original, const std::string& error,
                   const std::string& workDir, const std::vector<std::string>& environment) {
    const std::set<std::string> before = Walk(workDir);
    // {Data}, {Security_Data}, then the one stream.
    ProgramRun got = Morvex({"get", original, "#2", "--to", workDir + "/" + kOut, "--yes"},
                            environment, workDir);
    EXPECT_EQ(got.status, error.empty() ? 0 : 1) << got.err;
    EXPECT_NE(got.err.find(error), std::string::npos) << got.err;
    const std::vector<std::string> written = NewEntries(workDir, before);
    EXPECT_EQ(written.size(), error.empty() ? 1u : 0u);
    for (const std::string& entry : written)
        EXPECT_EQ(entry.rfind(std::string(kOut) + "/", 0), 0u) << entry;
}

StreamSet StreamsOf(const std::string& file) {
    StreamSet streams;
    std::vector<char> names(65536), value(65536);
    ssize_t size = listxattr(file.c_str(), names.data(), names.size());
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
        std::string name = &names[at];
        ssize_t length = getxattr(file.c_str(), name.c_str(), value.data(), value.size());
        if (name.rfind("user.", 0) == 0 && length >= 0)
            streams[name.substr(5)] = std::string(value.data(), static_cast<size_t>(length));
    }
    return streams;
}

bool AddStreams(const std::string& file, const StreamSet& streams) {
    for (const auto& [name, data] : streams) {
        if (setxattr(file.c_str(), ("user." + name).c_str(), data.data(), data.size(), 0) != 0)
            return false;
    }
    return true;
}

StreamSet RoundTrip(const std::string& workDir, unsigned codePage, unsigned seed,
                    const std::string& registry) {
    const std::string original = workDir + "/original", copy = workDir + "/copy";
    std::ofstream(original) << "main data";
    std::ofstream(copy).flush();
    const StreamSet streams = RandomStreams(NameAlphabet(codePage), seed);
    EXPECT_TRUE(AddStreams(original, streams));
    const std::string page = std::to_string(codePage);
    const std::vector<std::string> environment = {
        "MORVEX_REGISTRY=" + registry, "MORVEX_OEMCP=" + page, "MORVEX_ACP=" + page};
    ProgramRun listed = Morvex({"list", original}, environment, workDir);
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'),
              static_cast<long>(streams.size()) + 3);

    const std::set<std::string> before = Walk(workDir);
    const std::string out = workDir + "/" + kOut;
    ProgramRun got = Morvex({"get", original, "--to", out, "--yes"}, environment, workDir);
    EXPECT_EQ(got.status, 0) << got.err;
    std::vector<std::string> copies, contents;
    for (const std::string& entry : NewEntries(workDir, before)) {
        EXPECT_EQ(entry.rfind(kOut, 0), 0u) << "written outside the destination: " << entry;
        std::string name = entry.substr(std::min(entry.size(), sizeof(kOut)));
        if (name == "{Data}" || name == "{Security_Data}")
            continue;
        copies.push_back(name);
        contents.push_back(FileContents(out + "/" + name));
    }
    std::vector<std::string> expected;
    for (const auto& stream : streams)
        expected.push_back(stream.second);
    std::sort(contents.begin(), contents.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(contents, expected) << "the copies differ from the streams";

    std::vector<std::string> put = {"put", copy};
    for (const std::string& name : copies)
        put.push_back(out + "/" + name);
    put.push_back("--yes");
    ProgramRun written = Morvex(put, environment, workDir);
    EXPECT_EQ(written.status, 0) << written.err;
    EXPECT_EQ(StreamsOf(copy), streams);
    return streams;
}
