// CopyFileA and DeleteFileA on named streams of files in Samba's form: what
// they read, which attribute they write or remove and in which form, and
// what they leave alone.
#include "MappedDriveSupport.h"
#include "platform/posix/core/LayerErrors.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

namespace {

using Attributes = std::map<std::string, std::string>;  // names without "user."

class SambaStreamsTest : public MappedDriveTest {
protected:
    void SetUp() override {
        const std::string unsupported = UserAttributesUnsupported();
        if (!unsupported.empty()) GTEST_SKIP() << unsupported;
    }

    void AddFile(const Attributes& attributes) {
        const std::string path = temp.AddFile("f", "data");
        for (const auto& a : attributes)
            ASSERT_EQ(setxattr(path.c_str(), ("user." + a.first).c_str(), a.second.data(),
                               a.second.size(), 0),
                      0)
                << std::strerror(errno);
    }

    Attributes AttributesOf(const std::string& relative) const {
        const std::string path = temp.PathOf(relative);
        char list[4096];
        const ssize_t size = listxattr(path.c_str(), list, sizeof list);
        Attributes found;
        for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(list + at)) + 1) {
            if (std::strncmp(list + at, "user.", 5) != 0) continue;
            char value[4096];
            const ssize_t got = getxattr(path.c_str(), list + at, value, sizeof value);
            found[list + at + 5] = std::string(value, got < 0 ? 0 : static_cast<size_t>(got));
        }
        return found;
    }
};

// `base` with `more` added.
Attributes With(Attributes base, const Attributes& more) {
    base.insert(more.begin(), more.end());
    return base;
}

std::string Outcome(BOOL ok) { return ok ? "ok" : "error " + std::to_string(GetLastError()); }

TEST_F(SambaStreamsTest, StreamsAreReadWrittenAndRemovedInTheFormTheFileHas) {
    const std::string nul(1, '\0');
    const std::string dos = "dos";
    // Plain names set, and so listed, before Samba's (a file's attributes are
    // set in name order), so that the search for Samba's passes them all.
    Attributes plain;
    for (int i = 0; i < 60; ++i) plain["A" + std::to_string(i)] = "v";
    struct Case {
        const char* what;
        Attributes before;
        const char* operation;  // "put NAME", "put-new NAME", "get NAME", "rm NAME"
        std::string source;     // what put writes
        std::string outcome;
        Attributes after;
        std::string got;  // what get read
    };
    const Case cases[] = {
        {"put on a plain file", {{"a", "1"}}, "put n", "v", "ok", {{"a", "1"}, {"n", "v"}}, ""},
        // Under a name Samba keeps its records by, the plain file would turn
        // into a Samba file and hide its other streams.
        {"put of a Samba name on a plain file", {{"a", "1"}}, "put DosStream.x", "v",
         "error " + std::to_string(mvx::kErrorStreamNameIsSambas), {{"a", "1"}}, ""},
        // Only a whole name or a name's start counts, wherever it stands in the list.
        {"names that merely contain Samba's leave a file plain",
         {{"xDosStream.a", "1"}, {"DOSATTRIBx", "2"}}, "rm DOSATTRIBx", "", "ok",
         {{"xDosStream.a", "1"}}, ""},
        {"a Samba record after 60 plain names", With(plain, {{"DOSATTRIB", dos}, {"n", "p"}}),
         "rm n", "", "error 2", With(plain, {{"DOSATTRIB", dos}, {"n", "p"}}), ""},
        {"a Samba stream after 60 plain names",
         With(plain, {{"DosStream.z:$DATA", nul}, {"n", "p"}}), "rm n", "", "error 2",
         With(plain, {{"DosStream.z:$DATA", nul}, {"n", "p"}}), ""},
        {"60 plain names and none of Samba's", With(plain, {{"n", "p"}}), "rm n", "", "ok", plain,
         ""},
        {"put beside a longer name kept without its type keeps the type",
         {{"DosStream.nn", "x" + nul}}, "put n", "v", "ok",
         {{"DosStream.nn", "x" + nul}, {"DosStream.n:$DATA", "v" + nul}}, ""},
        {"put of DOSATTRIB on a plain file", {{"a", "1"}}, "put DOSATTRIB", "v",
         "error " + std::to_string(mvx::kErrorStreamNameIsSambas), {{"a", "1"}}, ""},
        {"put on a Samba file", {{"DOSATTRIB", dos}}, "put n", "v", "ok",
         {{"DOSATTRIB", dos}, {"DosStream.n:$DATA", "v" + nul}}, ""},
        {"put with a blank", {{"DOSATTRIB", dos}}, "put a b", "", "ok",
         {{"DOSATTRIB", dos}, {"DosStream.a b:$DATA", nul}}, ""},
        {"put replaces a stream kept without its type, in place",
         {{"DosStream.n", "old" + nul}}, "put n", "new", "ok", {{"DosStream.n", "new" + nul}}, ""},
        {"put replaces the typed one where both are",
         {{"DosStream.n", "x" + nul}, {"DosStream.n:$DATA", "y" + nul}}, "put n", "z", "ok",
         {{"DosStream.n", "x" + nul}, {"DosStream.n:$DATA", "z" + nul}}, ""},
        {"put-new onto an existing Samba stream", {{"DosStream.n:$DATA", "y" + nul}},
         "put-new n", "z", "error 80", {{"DosStream.n:$DATA", "y" + nul}}, ""},
        {"put of 65536 bytes: one more than a value can take with its NUL", {{"DOSATTRIB", dos}},
         "put big", std::string(65536, 'b'), "error 223", {{"DOSATTRIB", dos}}, ""},
        {"get drops the NUL", {{"DosStream.z:$DATA", "[Zone]" + nul}}, "get z", "", "ok",
         {{"DosStream.z:$DATA", "[Zone]" + nul}}, "[Zone]"},
        {"get of a plain attribute on a Samba file finds nothing",
         {{"DOSATTRIB", dos}, {"z", "plain"}}, "get z", "", "error 2",
         {{"DOSATTRIB", dos}, {"z", "plain"}}, ""},
        {"rm removes the Samba stream", {{"DOSATTRIB", dos}, {"DosStream.n:$DATA", nul}}, "rm n",
         "", "ok", {{"DOSATTRIB", dos}}, ""},
        {"rm leaves a plain attribute of a Samba file", {{"DOSATTRIB", dos}, {"n", "plain"}},
         "rm n", "", "error 2", {{"DOSATTRIB", dos}, {"n", "plain"}}, ""},
        {"rm of DOSATTRIB is no stream of a Samba file", {{"DOSATTRIB", dos}}, "rm DOSATTRIB", "",
         "error 2", {{"DOSATTRIB", dos}}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AddFile(c.before);
        const std::string operation = c.operation;
        const std::string::size_type blank = operation.find(' ');
        const std::string verb = operation.substr(0, blank);
        const std::string stream = "D:\\f:" + operation.substr(blank + 1);
        std::string outcome;
        if (verb == "put" || verb == "put-new") {
            temp.AddFile("source", c.source);
            outcome = Outcome(CopyFileA("D:\\source", stream.c_str(), verb == "put-new"));
        } else if (verb == "get") {
            outcome = Outcome(CopyFileA(stream.c_str(), "D:\\out", FALSE));
            EXPECT_EQ(temp.Contents("out"), c.outcome == "ok" ? c.got : "<missing>");
        } else {
            outcome = Outcome(DeleteFileA(stream.c_str()));
        }
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_EQ(AttributesOf("f"), c.after);
        for (const char* name : {"f", "source", "out"}) unlink(temp.PathOf(name).c_str());
    }
}

// A file found plain is not listed again for the next deletion while it is
// unchanged; a change by another program in between must be seen, or the
// next deletion removes one of Samba's records as if it were a stream.
TEST_F(SambaStreamsTest, AFileDeletedFromIsListedAgainOnceAnotherProgramChangesIt) {
    const std::string nul(1, '\0');
    const auto set = [this](const std::string& relative, const std::string& name,
                            const std::string& value) {
        const std::string path = temp.PathOf(relative);
        ASSERT_EQ(setxattr(path.c_str(), ("user." + name).c_str(), value.data(), value.size(), 0),
                  0);
    };
    struct Case {
        const char* what;
        std::function<void()> between;  // what another program does between the deletions
        std::string outcome;            // of deleting stream n after stream a
        Attributes after;
    };
    const Case cases[] = {
        {"nothing", [] {}, "ok", {}},
        {"Samba's attributes added", [&] { set("f", "DOSATTRIB", "dos"); }, "error 2",
         {{"n", "2"}, {"DOSATTRIB", "dos"}}},
        {"a Samba stream added", [&] { set("f", "DosStream.z:$DATA", nul); }, "error 2",
         {{"n", "2"}, {"DosStream.z:$DATA", nul}}},
        {"a plain stream added", [&] { set("f", "p", "3"); }, "ok", {{"p", "3"}}},
        {"the stream removed", [&] { removexattr(temp.PathOf("f").c_str(), "user.n"); },
         "error 2", {}},
        {"a Samba file renamed over it",
         [&] {
             temp.AddFile("g", "other");
             set("g", "DOSATTRIB", "dos");
             set("g", "n", "4");
             std::rename(temp.PathOf("g").c_str(), temp.PathOf("f").c_str());
         },
         "error 2", {{"DOSATTRIB", "dos"}, {"n", "4"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AddFile({{"a", "1"}, {"n", "2"}});
        EXPECT_EQ(Outcome(DeleteFileA("D:\\f:a")), "ok");
        // A file system clock may tick coarsely; what another program does
        // within the same tick as the layer's deletion stays unseen.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        c.between();
        EXPECT_EQ(Outcome(DeleteFileA("D:\\f:n")), c.outcome);
        EXPECT_EQ(AttributesOf("f"), c.after);
        unlink(temp.PathOf("f").c_str());
    }
}

}  // namespace
