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

std::string Outcome(BOOL ok) { return ok ? "ok" : "error " + std::to_string(GetLastError()); }

class SambaStreamsTest : public MappedDriveTest {
protected:
    void SetUp() override {
        const std::string unsupported = UserAttributesUnsupported();
        if (!unsupported.empty()) GTEST_SKIP() << unsupported;
    }

    // Adds `attributes` to the file `relative`, which is made first when `make`.
    void SetAttributes(const Attributes& attributes, const std::string& relative = "f",
                       bool make = false) {
        const std::string path = make ? temp.AddFile(relative, "data") : temp.PathOf(relative);
        for (const auto& a : attributes)
            ASSERT_EQ(setxattr(path.c_str(), ("user." + a.first).c_str(), a.second.data(),
                               a.second.size(), 0),
                      0)
                << std::strerror(errno);
    }

    void AddFile(const Attributes& attributes) { SetAttributes(attributes, "f", true); }

    // "put NAME", "put-new NAME", "get NAME" or "rm NAME" on stream NAME of
    // file f: put writes `source`, get reads into `got`.
    std::string Run(const std::string& operation, const std::string& source,
                    std::string* got = nullptr) {
        const std::string::size_type blank = operation.find(' ');
        const std::string verb = operation.substr(0, blank);
        const std::string stream = "D:\\f:" + operation.substr(blank + 1);
        std::string outcome;
        if (verb == "put" || verb == "put-new") {
            temp.AddFile("source", source);
            outcome = Outcome(CopyFileA("D:\\source", stream.c_str(), verb == "put-new"));
        } else if (verb == "get") {
            outcome = Outcome(CopyFileA(stream.c_str(), "D:\\out", FALSE));
            if (got) *got = temp.Contents("out");
        } else {
            outcome = Outcome(DeleteFileA(stream.c_str()));
        }
        for (const char* name : {"source", "out"}) unlink(temp.PathOf(name).c_str());
        return outcome;
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
        std::string operation;  // "put NAME", "put-new NAME", "get NAME", "rm NAME"
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
        // An attribute's name takes 255 bytes, "user." and Samba's parts included.
        {"put of the longest plain name", {}, "put " + std::string(250, 'p'), "v", "ok",
         {{std::string(250, 'p'), "v"}}, ""},
        {"put of a plain name one byte longer", {}, "put " + std::string(251, 'p'), "v",
         "error 206", {}, ""},
        {"rm of a plain name one byte longer", {}, "rm " + std::string(251, 'p'), "",
         "error 206", {}, ""},
        {"put of the longest Samba name", {{"DOSATTRIB", dos}}, "put " + std::string(234, 's'),
         "v", "ok", {{"DOSATTRIB", dos}, {"DosStream." + std::string(234, 's') + ":$DATA",
         "v" + nul}}, ""},
        {"put of a Samba name one byte longer", {{"DOSATTRIB", dos}},
         "put " + std::string(235, 's'), "v", "error 206", {{"DOSATTRIB", dos}}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AddFile(c.before);
        std::string got;
        EXPECT_EQ(Run(c.operation, c.source, &got), c.outcome);
        if (c.operation.rfind("get", 0) == 0) {
            EXPECT_EQ(got, c.outcome == "ok" ? c.got : "<missing>");
        }
        EXPECT_EQ(AttributesOf("f"), c.after);
        unlink(temp.PathOf("f").c_str());
    }
}

// A file found plain is not listed again for the next read, write or
// deletion while it is unchanged; a change by another program in between
// must be seen, or the layer takes one of Samba's records for a stream.
TEST_F(SambaStreamsTest, AFileFoundPlainIsListedAgainOnceAnotherProgramChangesIt) {
    const std::string nul(1, '\0');
    const std::map<std::string, std::function<void()>> changes = {
        {"nothing", [] {}},
        {"a plain stream added", [&] { SetAttributes({{"p", "3"}}); }},
        {"Samba's attributes added", [&] { SetAttributes({{"DOSATTRIB", "dos"}}); }},
        {"a Samba stream added", [&] { SetAttributes({{"DosStream.z:$DATA", nul}}); }},
        {"a Samba file renamed over it", [&] {
             SetAttributes({{"DOSATTRIB", "dos"}, {"n", "2"}}, "g", true);
             std::rename(temp.PathOf("g").c_str(), temp.PathOf("f").c_str());
         }},
    };
    struct Case {
        const char* change;
        const char* operation;  // on stream n, after the first one on stream a
        std::string outcome;
        Attributes after;  // without a, which the first operation had
        std::string got;
    };
    const Attributes samba = {{"n", "2"}, {"DOSATTRIB", "dos"}};
    const Attributes sambaStream = {{"n", "2"}, {"DosStream.z:$DATA", nul}};
    const Case cases[] = {
        {"nothing", "rm n", "ok", {}, ""},
        {"nothing", "get n", "ok", {{"n", "2"}}, "2"},
        {"nothing", "put n", "ok", {{"n", "v"}}, ""},
        {"a plain stream added", "rm n", "ok", {{"p", "3"}}, ""},
        {"a plain stream added", "put n", "ok", {{"p", "3"}, {"n", "v"}}, ""},
        {"Samba's attributes added", "rm n", "error 2", samba, ""},
        {"Samba's attributes added", "get n", "error 2", samba, ""},
        {"Samba's attributes added", "put n", "ok", With(samba, {{"DosStream.n:$DATA", "v" + nul}}),
         ""},
        {"a Samba stream added", "rm n", "error 2", sambaStream, ""},
        {"a Samba stream added", "get n", "error 2", sambaStream, ""},
        {"a Samba stream added", "put n", "ok",
         With(sambaStream, {{"DosStream.n:$DATA", "v" + nul}}), ""},
        {"a Samba file renamed over it", "rm n", "error 2", samba, ""},
        {"a Samba file renamed over it", "get n", "error 2", samba, ""},
    };
    // Each way the layer comes to know the file: by reading, writing or
    // deleting another of its streams.
    for (const char* first : {"get a", "put a", "rm a"})
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(first) + ", " + c.change + ", " + c.operation);
            AddFile({{"a", "1"}, {"n", "2"}});
            EXPECT_EQ(Run(first, "v"), "ok");
            // A file system clock may tick coarsely; what another program
            // does within the same tick as the layer's last change stays
            // unseen.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            changes.at(c.change)();
            std::string got;
            EXPECT_EQ(Run(c.operation, "v", &got), c.outcome);
            if (std::string(c.operation) == "get n") {
                EXPECT_EQ(got, c.outcome == "ok" ? c.got : "<missing>");
            }
            Attributes after = AttributesOf("f");
            after.erase("a");
            EXPECT_EQ(after, c.after);
            unlink(temp.PathOf("f").c_str());
        }
}

}  // namespace
