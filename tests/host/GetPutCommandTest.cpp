// morvex get and morvex put on real files: which items and sources are taken,
// where the copies land, what is asked and printed, and the exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/MorvexProgram.h"
#include "host/module/BuildLocation.h"
#include "platform/posix/core/FaultInjection.h"
#include "platform/win32.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/host/StreamRoundTripSupport.h"
#include "tests/platform/EnvironmentSettingSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The process's current directory, set for one test and given back after it.
struct WorkingDirectory {
    explicit WorkingDirectory(const std::string& directory) { fs::current_path(directory); }
    ~WorkingDirectory() { fs::current_path(saved); }
    const fs::path saved = fs::current_path();
};

class GetPutCommandTest : public ::testing::Test {
protected:
    // Three items: {Data}, {Security_Data}, notes.
    GetPutCommandTest() : report(temp.AddFile("report.txt", "0123456789")) {
        setxattr(report.c_str(), "user.notes", "hello", 5, 0);
        temp.AddDirectory("tmp");
    }

    // Scratch folders go to TMPDIR, which is checked to be left empty.
    ProgramRun Run(const Texts& arguments, const std::string& input = "") {
        return RunProgram(FindBuildFile("morvex"), arguments,
                          {{"MORVEX_REGISTRY=" + temp.PathOf("registry.reg"),
                            "TMPDIR=" + temp.PathOf("tmp")},
                           input,
                           temp.Path()});
    }

    // Whether a scratch folder was left in `folder` or in TMPDIR.
    bool ScratchLeft(const std::string& folder) const {
        for (const std::string& where : {folder, temp.PathOf("tmp")}) {
            std::error_code ignored;
            for (const auto& entry : fs::directory_iterator(where, ignored))
                if (entry.path().filename().string().rfind(".morvex-", 0) == 0)
                    return true;
        }
        return false;
    }

    // In this process, as a user on a terminal who types `typed`, or with no
    // terminal at all.
    int RunHere(const Texts& arguments, const std::string& typed, std::string& shown,
                bool terminal = true) {
        std::istringstream in(typed);
        std::ostringstream out, err;
        int status = RunMorvex(arguments, in, out, err, terminal);
        shown = err.str();
        return status;
    }

    // Runs `arguments` here, swapping `destination` for a link to the folder
    // "elsewhere" as the first item is put in place, and expects every item
    // in `moved`, where the destination went, and none in "elsewhere". Both,
    // and the destination's first folder, go afterwards.
    void ExpectEveryItemIn(const Texts& arguments, const std::string& typed,
                           const std::string& destination, const std::string& moved) {
        temp.AddDirectory("elsewhere");
        mvx::InjectAction("MoveFileExA", 1, [&] {
            fs::rename(temp.PathOf(destination), temp.PathOf(moved));
            fs::create_directory_symlink(temp.PathOf("elsewhere"), temp.PathOf(destination));
        });
        std::string shown;
        EXPECT_EQ(RunHere(arguments, typed, shown), 0) << shown;
        mvx::ClearFaults();
        EXPECT_TRUE(fs::is_empty(temp.PathOf("elsewhere")));
        for (const char* item : {"{Data}", "{Security_Data}", "notes"})
            EXPECT_TRUE(temp.Exists(moved + "/" + item)) << item;
        for (const std::string& folder :
             {destination.substr(0, destination.find('/')), moved, std::string("elsewhere")})
            fs::remove_all(temp.PathOf(folder));
    }

    std::string Stream(const std::string& file, const std::string& name) const {
        StreamSet streams = StreamsOf(file);
        return streams.count(name) != 0 ? streams[name] : "<missing>";
    }

    TempDirectory temp;
    std::string report;
};

TEST_F(GetPutCommandTest, GetCopiesTheItemsNamedIntoTheDirectory) {
    struct Case {
        Texts arguments;  // after "get FILE"; DIR stands for a fresh directory
        int status;
        Texts written;      // files in DIR/new afterwards
        std::string error;  // part of what stderr says
    };
    const Case cases[] = {
        {{"--to", "DIR/new", "--yes"}, 0, {"{Data}", "{Security_Data}", "notes"}, ""},
        {{"notes", "--to=DIR/new/", "--yes"}, 0, {"notes"}, ""},
        {{"#0", "--yes", "--to", "DIR/new\\"}, 0, {"{Data}"}, ""},
        {{"#2", "--to", "DIR/new", "--yes"}, 0, {"notes"}, ""},
        {{"#3", "--to", "DIR/new", "--yes"}, 1, {}, "no item '#3' in the stream list"},
        {{"notes", "--to", "DIR/new"}, 1, {}, "nothing copied: there is no terminal to ask on"},
    };
    for (const Case& c : cases) {
        TempDirectory destination;
        Texts arguments = {"get", report};
        for (std::string argument : c.arguments) {
            if (size_t at = argument.find("DIR"); at != std::string::npos)
                argument.replace(at, 3, destination.Path());
            arguments.push_back(argument);
        }
        ProgramRun run = Run(arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments[0] << run.err;
        EXPECT_TRUE(Contains(run.err, c.error)) << run.err;
        for (const std::string& name : c.written)
            EXPECT_TRUE(destination.Exists("new/" + name)) << c.arguments[0] << ": " << name;
        if (c.status != 0) {
            EXPECT_FALSE(destination.Exists("new")) << c.arguments[0];
        }
    }
}

TEST_F(GetPutCommandTest, GetWritesTheDataAndTheSecurityReportOrDescriptor) {
    TempDirectory to;
    ASSERT_EQ(Run({"config", "--parse-security", "on"}).status, 0);
    ProgramRun run = Run({"get", report, "{Security_Data}", "#0", "notes", "--to", to.Path(),
                          "--yes"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(to.Contents("{Data}") + to.Contents("notes"), "0123456789hello");
    EXPECT_TRUE(Contains(to.Contents("{Security_Data}"), "PERMISSIONS\r\n"));

    ASSERT_EQ(Run({"config", "--parse-security", "off"}).status, 0);
    ASSERT_EQ(Run({"get", report, "{Security_Data}", "--to", to.Path(), "--yes"}).status, 0);
    const std::string descriptor = to.Contents("{Security_Data}");
    // A self-relative descriptor: revision 1, the self-relative control bit.
    ASSERT_GE(descriptor.size(), 20u);
    EXPECT_EQ(descriptor[0], 1);
    EXPECT_TRUE((static_cast<unsigned char>(descriptor[3]) & 0x80) != 0);
    EXPECT_FALSE(Contains(descriptor, "PERMISSIONS"));
}

TEST_F(GetPutCommandTest, PutWritesEachSourceFromItsOwnFolder) {
    temp.AddDirectory("one");
    temp.AddDirectory("two");
    const std::string a = temp.AddFile("one/a.txt", "AAA"), b = temp.AddFile("two/b.txt", "BB");
    const std::string data = temp.AddFile("one/{Data}", "main");
    const std::string odd = temp.AddFile("one/x[0]", "odd");
    struct Case {
        Texts sources;
        int status;
        std::string a, b;   // the streams a.txt and b.txt afterwards
        std::string error;  // part of what stderr says
    };
    const Case cases[] = {
        {{a, b}, 0, "AAA", "BB", ""},
        {{"one/a.txt", "two/../two/b.txt"}, 0, "AAA", "BB", ""},
        {{a, temp.PathOf("two/missing.txt"), b}, 1, "<missing>", "<missing>",
         "morvex: " + temp.PathOf("two/missing.txt") +
             ": The system cannot find the file specified.\n"},
        // Each source is written that can be; the one that cannot is told.
        {{temp.PathOf("two"), b}, 1, "<missing>", "BB",
         "morvex: " + temp.PathOf("two") + " -> " + temp.PathOf("target") +
             ":two: directory items can not be copied\n"},
        // What get writes for the data is passed over, as a glob of its
        // folder brings it back.
        {{a, data, b}, 0, "AAA", "BB",
         "morvex: " + data + ": passed over: put writes alternate data streams, not the "
         "data or the descriptor of a file\n"},
        // A name the plug-in cannot read as an item name comes with the way out.
        {{a, odd, b}, 1, "AAA", "BB",
         "morvex: " + odd + " -> " + temp.PathOf("target") + ":x[0]: [Number] in name must be "
         "more than 0 and less than 256\nmorvex: " + odd + ": put FILE SOURCE --as ITEM "
         "writes it under an item name of your choice\n"},
    };
    for (const Case& c : cases) {
        const std::string target = temp.AddFile("target", "");
        Texts arguments = {"put", target};
        arguments.insert(arguments.end(), c.sources.begin(), c.sources.end());
        arguments.push_back("--yes");
        ProgramRun run = Run(arguments);
        EXPECT_EQ(run.status, c.status) << c.sources[1] << run.err;
        EXPECT_TRUE(Contains(run.err, c.error)) << run.err;
        EXPECT_EQ(Stream(target, "a.txt"), c.a) << c.sources[1];
        EXPECT_EQ(Stream(target, "b.txt"), c.b) << c.sources[1];
        unlink(target.c_str());
    }
}

TEST_F(GetPutCommandTest, MovesDeleteWhatWasCopied) {
    TempDirectory destinations;
    ProgramRun got = Run({"get", report, "notes", "--to", destinations.Path(), "--move", "--yes"});
    EXPECT_EQ(got.status, 0) << got.err;
    EXPECT_EQ(destinations.Contents("notes"), "hello");
    EXPECT_EQ(Stream(report, "notes"), "<missing>");
    // The main data cannot be deleted: copied, then refused.
    got = Run({"get", report, "{Data}", "--to", destinations.Path(), "--move", "--yes"});
    EXPECT_EQ(got.status, 1);
    EXPECT_TRUE(Contains(got.err, "Plugin can delete only Alternative data stream")) << got.err;
    EXPECT_EQ(destinations.Contents("{Data}"), "0123456789");
    EXPECT_EQ(temp.Contents("report.txt"), "0123456789");

    const std::string one = destinations.AddFile("one", "1");
    const std::string two = destinations.AddFile("two", "2");
    chmod(two.c_str(), 0444);
    ProgramRun put = Run({"put", report, one, two, "--move"});
    EXPECT_EQ(put.status, 0) << put.err;
    EXPECT_EQ(Stream(report, "one") + Stream(report, "two"), "12");
    EXPECT_FALSE(destinations.Exists("one") || destinations.Exists("two"));
}

// As cp goes file by file, get goes item by item: an item that fails is told
// in one line (the item, where it was going, the plug-in's text and the
// system's reason where a system call failed), and the others are copied
// all the same; a move deletes just what was copied. A move of every item
// moves the alternate data streams.
TEST_F(GetPutCommandTest, AFailedItemIsToldAndTheOthersAreCopied) {
    struct Case {
        Texts items;      // after FILE; none: every item
        const char* blocked;  // an item whose output is a folder, or null
        const char* fault;    // a layer call that fails with ERROR_DISK_FULL, or null
        bool move;
        std::string err;
        Texts copied;  // what is in the folder afterwards
        Texts left;    // streams of the file afterwards
    };
    const std::string out = "out";
    const Case cases[] = {
        {{}, "b", nullptr, false, "morvex: b -> out/b: Copy error: Access is denied.\n",
         {"a", "b", "c", "notes", "{Data}", "{Security_Data}"}, {"a", "b", "c", "notes"}},
        {{"a", "b", "c"}, "b", nullptr, true,
         "morvex: b -> out/b: Copy error: Access is denied.\n", {"a", "b", "c"}, {"b", "notes"}},
        {{}, nullptr, nullptr, true, "", {"a", "b", "c", "notes"}, {}},
        {{"{Data}", "a"}, nullptr, "WriteFile", false,
         "morvex: {Data} -> out/{Data}: File writing error: There is not enough space on the "
         "disk.\n",
         {"a"}, {"a", "b", "c", "notes"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        for (const char* name : {"a", "b", "c"})
            setxattr(report.c_str(), ("user." + std::string(name)).c_str(), name, 1, 0);
        temp.AddDirectory(out);
        if (c.blocked != nullptr)
            temp.AddDirectory(out + "/" + c.blocked);
        Texts arguments = {"get", report};
        arguments.insert(arguments.end(), c.items.begin(), c.items.end());
        arguments.insert(arguments.end(), {"--to", out, "--yes"});
        if (c.move)
            arguments.push_back("--move");
        if (c.fault != nullptr)
            mvx::InjectFault(c.fault, 1, ERROR_DISK_FULL);
        std::string shown;
        const int status = [&] {
            WorkingDirectory here(temp.Path());
            return RunHere(arguments, "", shown);
        }();
        mvx::ClearFaults();
        EXPECT_EQ(status, c.err.empty() ? 0 : 1);
        EXPECT_EQ(shown, c.err);
        Texts copied;
        for (const auto& entry : fs::directory_iterator(temp.PathOf(out)))
            copied.push_back(entry.path().filename().string());
        std::sort(copied.begin(), copied.end());
        EXPECT_EQ(copied, c.copied);
        Texts left;
        for (const auto& [name, value] : StreamsOf(report))
            left.push_back(name);
        EXPECT_EQ(left, c.left);
        fs::remove_all(temp.PathOf(out));
        for (const auto& [name, value] : StreamsOf(report))
            removexattr(report.c_str(), ("user." + name).c_str());
        setxattr(report.c_str(), "user.notes", "hello", 5, 0);
    }
}

// A move deletes its sources only once every one of them is written, never
// the opened file, and never two sources that would land on one stream.
TEST_F(GetPutCommandTest, PutMovesDeleteSourcesOnlyOnceAllAreWritten) {
    struct Case {
        Texts sources;       // relative to the test's folder
        int status;
        std::string error;   // the first line on stderr, after "morvex: "
        Texts streamsAdded;  // of report.txt, besides notes
        Texts sourcesLeft;
    };
    const Case cases[] = {
        {{"report.txt"}, 1, "report.txt: is the file written to; a move would delete it", {},
         {"report.txt"}},
        {{"a/one", "report.txt"}, 1, "report.txt: is the file written to; a move would delete it",
         {}, {"a/one", "report.txt"}},
        {{"a/notes", "b/notes"}, 1,
         "two sources are named 'notes'; each would be written to the same stream", {},
         {"a/notes", "b/notes"}},
        {{"a/one", "b/two"}, 0, "", {"one", "two"}, {}},
        {{"a/one", "a/two"}, 0, "", {"one", "two"}, {}},
        {{"a/one", "b/missing"}, 1, "b/missing: The system cannot find the file specified.", {},
         {"a/one"}},
        // b/dir is refused by the plug-in after a/one was written: a/one stays.
        {{"a/one", "b/dir"}, 1, "b/dir -> report.txt:dir: directory items can not be copied",
         {"one"}, {"a/one", "b/dir"}},
        // One folder's sources go in one call, which stops at b/dir; the
        // sources after it are written all the same, and b/dir told once.
        {{"b/two", "b/dir", "b/three"}, 1,
         "b/dir -> report.txt:dir: directory items can not be copied", {"two", "three"},
         {"b/two", "b/dir", "b/three"}},
        // [N] in a name is the byte N: two spellings of one stream name.
        {{"a/x[9]y", "b/x\ty"}, 1, "two sources, 'x\\ty' and 'x[9]y', name the stream 'x\\ty'; "
         "each would be written to it", {}, {"a/x[9]y", "b/x\ty"}},
        {{"a/x[9]y", "a/x\ty"}, 1, "two sources, 'x\\ty' and 'x[9]y', name the stream 'x\\ty'; "
         "each would be written to it", {}, {"a/x[9]y", "a/x\ty"}},
        {{"a/x[9]y", "b/x[000000009]y"}, 1, "two sources, 'x[000000009]y' and 'x[9]y', name the "
         "stream 'x\\ty'; each would be written to it", {}, {"a/x[9]y", "b/x[000000009]y"}},
        {{"a/x[9]y", "b/x[10]y"}, 0, "", {"x\ty", "x\ny"}, {}},
        // Ten digits are no [N]: the plug-in refuses the name, and nothing goes.
        {{"a/x[9]y", "b/x[0000000009]y"}, 1, "b/x[0000000009]y -> report.txt:x[0000000009]y: "
         "Incorrect [Number] in name\nmorvex: b/x[0000000009]y: put FILE SOURCE --as ITEM "
         "writes it under an item name of your choice", {"x\ty"}, {"a/x[9]y", "b/x[0000000009]y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sources[0] + " " + c.sources.back());
        for (const char* folder : {"a", "b", "b/dir"})
            temp.AddDirectory(folder);
        for (const std::string& source : c.sources)
            if (source != "b/dir" && source != "b/missing" && source != "report.txt")
                temp.AddFile(source, source);
        Texts arguments = {"put", "report.txt"};
        arguments.insert(arguments.end(), c.sources.begin(), c.sources.end());
        arguments.insert(arguments.end(), {"--move", "--yes"});
        ProgramRun run = Run(arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.err, c.error.empty() ? "" : "morvex: " + c.error + "\n");
        EXPECT_EQ(temp.Contents("report.txt"), "0123456789");
        EXPECT_EQ(Stream(report, "notes"), "hello");
        for (const std::string& stream : c.streamsAdded)
            EXPECT_NE(Stream(report, stream), "<missing>") << stream;
        for (const std::string& source : c.sources)
            EXPECT_EQ(temp.Exists(source), std::count(c.sourcesLeft.begin(), c.sourcesLeft.end(),
                                                       source) == 1)
                << source;
        for (const char* stream : {"user.one", "user.two", "user.three", "user.x\ty", "user.x\ny"})
            removexattr(report.c_str(), stream);
        fs::remove_all(temp.PathOf("a"));
        fs::remove_all(temp.PathOf("b"));
    }
}

// A move deletes each source it can, and changes nothing else: a source it
// cannot delete is told as the user named it and keeps its mode, and a
// symbolic link goes itself, leaving the file it names as that file was.
TEST_F(GetPutCommandTest, AMoveChangesNothingItDoesNotDelete) {
    struct Case {
        Texts sources;
        unsigned refused;  // the DeleteFileA call refused, or 0
        int status;
        std::string error;  // after "morvex: "
        Texts left;         // what is left in the sources' folder
    };
    const std::string denied = ": written, but cannot be deleted: Access is denied.\n";
    const Case cases[] = {
        {{"ro", "rw"}, 0, 0, "", {"link", "ro*", "target"}},
        {{"link"}, 0, 0, "", {"ro", "ro*", "rw", "target"}},
        {{"ro", "rw"}, 1, 1, "ro" + denied, {"link", "ro", "ro*", "target"}},
        {{"rw", "ro"}, 2, 1, "ro" + denied, {"link", "ro", "ro*", "target"}},
        {{"ro", "rw"}, 2, 1, "rw" + denied, {"link", "ro*", "rw", "target"}},
        {{"link", "rw"}, 1, 1, "link" + denied, {"link", "ro", "ro*", "target"}},
        // A name with a wildcard is found as the Linux file it names.
        {{"ro*"}, 1, 1, "ro*" + denied, {"link", "ro", "ro*", "rw", "target"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        WorkingDirectory here(temp.Path());
        temp.AddDirectory("m");
        for (const char* name : {"m/ro", "m/ro*", "m/rw", "m/target"})
            temp.AddFile(name, name);
        for (const char* name : {"m/ro", "m/ro*", "m/target"})
            chmod(temp.PathOf(name).c_str(), 0444);
        symlink("target", temp.PathOf("m/link").c_str());
        Texts arguments = {"put", "report.txt"};
        for (const std::string& source : c.sources)
            arguments.push_back("m/" + source);
        arguments.insert(arguments.end(), {"--move", "--yes"});
        if (c.refused != 0)
            mvx::InjectFault("DeleteFileA", c.refused, ERROR_ACCESS_DENIED);
        std::string shown;
        EXPECT_EQ(RunHere(arguments, "", shown), c.status);
        mvx::ClearFaults();
        EXPECT_EQ(shown, c.error.empty() ? "" : "morvex: m/" + c.error);
        Texts left;
        for (const auto& entry : fs::directory_iterator(temp.PathOf("m")))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, c.left);
        struct stat status {};
        for (const char* name : {"m/ro", "m/ro*", "m/target"})
            EXPECT_TRUE(stat(temp.PathOf(name).c_str(), &status) != 0 ||
                        (status.st_mode & 07777) == 0444)
                << name;
        for (const std::string& source : c.sources)
            EXPECT_EQ(Stream(report, source), source == "link" ? "m/target" : "m/" + source);
        fs::remove_all(temp.PathOf("m"));
        for (const char* stream : {"user.ro", "user.ro*", "user.rw", "user.link"})
            removexattr(report.c_str(), stream);
    }
}

// A SOURCE that is a Linux path reaches the file Linux finds by it: ".."
// after a link to a folder leads out of the folder linked to, and a
// backslash is part of a name. A move then deletes that file, never another
// one the system would find by the same spelling, nor the opened file.
TEST_F(GetPutCommandTest, ASourceReachesTheLinuxFileItNames) {
    const std::string refused = "is the file written to; a move would delete it\n";
    struct Case {
        std::string file;  // relative to the test's folder
        Texts arguments;   // from the folder "work", besides --move --yes
        std::string error;    // after "morvex: "
        std::string written;  // the stream of `file` written, as "name=data", and its source gone
    };
    const Case cases[] = {
        {"report.txt", {"l/../a"}, "", "a=other/a"},
        {"report.txt", {"l/../a", "--as", "b"}, "", "b=other/a"},
        {"report.txt", {"x\\y"},
         "x\\y: its path holds a backslash, which the plug-in reads as a folder separator\n", ""},
        {"other/a", {"l/../a"}, "l/../a: " + refused, ""},
        {"other/a", {"l/../a", "--as", "b"}, "l/../a: " + refused, ""},
    };
    const Texts files = {"work/a", "other/a", "work/x\\y", "work/x/y"};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        for (const char* folder : {"work", "work/x", "other", "other/dir"})
            temp.AddDirectory(folder);
        for (const std::string& name : files)
            temp.AddFile(name, name);
        symlink("../other/dir", temp.PathOf("work/l").c_str());
        std::string shown;
        Texts arguments = {"put", temp.PathOf(c.file)};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        arguments.insert(arguments.end(), {"--move", "--yes"});
        const int status = [&] {
            WorkingDirectory here(temp.PathOf("work"));
            return RunHere(arguments, "", shown);
        }();
        EXPECT_EQ(status, c.error.empty() ? 0 : 1);
        EXPECT_EQ(shown, c.error.empty() ? "" : "morvex: " + c.error);
        Texts written;
        for (const auto& [name, data] : StreamsOf(temp.PathOf(c.file)))
            if (name != "notes")
                written.push_back(name + "=" + data);
        EXPECT_EQ(written, c.written.empty() ? Texts{} : Texts{c.written});
        for (const std::string& name : files)
            EXPECT_EQ(temp.Exists(name), c.written.empty() || name != "other/a") << name;
        fs::remove_all(temp.PathOf("work"));
        fs::remove_all(temp.PathOf("other"));
        for (const char* stream : {"user.a", "user.b"})
            removexattr(report.c_str(), stream);
    }
}

// However the opened file and the source are spelled, a move of the file
// into itself is refused before anything is written: it would delete the
// file with its streams. A plain copy of the file into itself is harmless.
// Another file, which the system cannot tell apart from the opened one,
// stays where it is as well.
TEST_F(GetPutCommandTest, NoSpellingMovesTheOpenedFileIntoItself) {
    temp.AddDirectory("folder");
    link(report.c_str(), temp.PathOf("hard").c_str());
    symlink(temp.PathOf("folder").c_str(), temp.PathOf("folder link").c_str());
    const std::string viaFolderLink = temp.PathOf("folder link/../report.txt");
    const std::string other = temp.AddFile("folder/other", "other");
    struct Case {
        std::string file;
        std::string source;
        Texts options;  // after the source
        bool blind;     // the system cannot tell files apart: run in this process
    };
    const Case cases[] = {
        {report, WindowsName(report), {}, false},
        {WindowsName(report), report, {}, false},
        {WindowsName(report), WindowsName(report), {}, false},
        {WindowsName(report), temp.PathOf("hard"), {}, false},
        {report, viaFolderLink, {}, false},
        {report, report, {"--as", "self"}, false},
        {WindowsName(report), report, {"--as", "self"}, false},
        {report, temp.PathOf("hard"), {"--as", "self"}, false},
        {report, other, {"--as", "other"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + c.source + " " + std::to_string(c.options.size()));
        Texts arguments = {"put", c.file, c.source};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        arguments.insert(arguments.end(), {"--move", "--yes"});
        if (c.blind)
            mvx::InjectFault("GetFileInformationByHandle", 1, ERROR_ACCESS_DENIED);
        const ProgramRun run = [&] {
            if (!c.blind)
                return Run(arguments);
            ProgramRun here;
            here.status = RunHere(arguments, "", here.err);
            return here;
        }();
        mvx::ClearFaults();
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(Contains(run.err, c.blind ? "cannot be told apart from the file written to"
                                              : "is the file written to; a move would delete it"))
            << run.err;
        EXPECT_EQ(temp.Contents("report.txt"), "0123456789");
        EXPECT_EQ(StreamsOf(report), (StreamSet{{"notes", "hello"}}));
        EXPECT_TRUE(temp.Exists("hard"));
        EXPECT_TRUE(temp.Exists("folder/other"));
    }
}

TEST_F(GetPutCommandTest, RelativeNamesStartWhereTheUserIs) {
    // This process's layer started in another directory.
    temp.AddDirectory("src");
    temp.AddFile("src/added", "new");
    WorkingDirectory here(temp.Path());
    std::string shown;
    EXPECT_EQ(RunHere({"get", "report.txt", "notes", "--to", "out", "--yes"}, "", shown), 0)
        << shown;
    EXPECT_EQ(temp.Contents("out/notes"), "hello");
    EXPECT_EQ(RunHere({"put", "./report.txt", "src/added", "--yes"}, "", shown), 0) << shown;
    EXPECT_EQ(Stream(report, "added"), "new");
    EXPECT_EQ(RunHere({"put", "report.txt", "src/gone", "--yes"}, "", shown), 1);
    EXPECT_EQ(shown, "morvex: src/gone: The system cannot find the file specified.\n");
}

TEST_F(GetPutCommandTest, OnATerminalTheDestinationIsAskedWithTheGivenOneFilledIn) {
    struct Case {
        std::string typed;  // DEST stands for the second directory
        int status;
        std::string written;  // where notes lands: "given", "typed" or ""
    };
    const Case cases[] = {
        {"\n\n", 0, "given"},
        {"DEST\\\n\n", 0, "typed"},
        {"  DEST\\  \n1\n", 0, "typed"},
        {"DEST/\n\n", 0, "typed"},
        {"DEST/new/\n\n", 0, "typed new"},
        // Without a separator at its end the plug-in asks again; the input then ends.
        {"DEST\n\n", 1, ""},
        {"\n2\n", 1, ""},
        {"", 1, ""},
    };
    for (const Case& c : cases) {
        TempDirectory given, typed;
        std::string input = c.typed;
        for (size_t at; (at = input.find("DEST")) != std::string::npos;)
            input.replace(at, 4, typed.PathOf("sub"));
        std::string shown;
        int status =
            RunHere({"get", report, "notes", "--to", given.PathOf("sub")}, input, shown);
        EXPECT_EQ(status, c.status) << c.typed << shown;
        EXPECT_TRUE(Contains(shown, "[" + given.PathOf("sub") + "\\]")) << shown;
        EXPECT_EQ(given.Exists("sub/notes"), c.written == "given") << c.typed;
        EXPECT_EQ(typed.Exists("sub/notes"), c.written == "typed") << c.typed;
        EXPECT_EQ(typed.Exists("sub/new/notes"), c.written == "typed new") << c.typed;
        EXPECT_EQ(Contains(shown, "You must specify directory path"), c.typed == "DEST\n\n");
        EXPECT_FALSE(Contains(shown, "--yes")) << c.typed;
    }
}

TEST_F(GetPutCommandTest, GetOutputCopiesOneItemToExactlyThePath) {
    struct Case {
        std::string item;
        // In a fresh folder: "new", "old" (holds "old"), "sub" (a folder) or
        // "link" (to "old").
        std::string output;
        int status;
        std::string contents;  // at the output afterwards
        std::string error;     // part of what stderr says
    };
    const Case cases[] = {
        {"notes", "new", 0, "hello", ""},
        {"#0", "old", 0, "0123456789", ""},
        {"notes", "link", 0, "hello", ""},
        {"nothere", "old", 1, "old", "no item 'nothere' in the stream list"},
        {"#3", "new", 1, "<none>", "no item '#3'"},
        {"notes", "sub", 1, "<none>", "sub: is a directory"},
        {"notes", "missing/new", 1, "<none>", "cannot write in"},
    };
    for (const Case& c : cases) {
        TempDirectory folder;
        folder.AddFile("old", "old");
        folder.AddDirectory("sub");
        symlink("old", folder.PathOf("link").c_str());
        const std::string output = folder.PathOf(c.output);
        ProgramRun run = Run({"get", report, c.item, "--output", output});
        EXPECT_EQ(run.status, c.status) << c.item << run.err;
        EXPECT_TRUE(Contains(run.err, c.error)) << run.err;
        EXPECT_EQ(folder.Exists(c.output) && c.output != "sub" ? folder.Contents(c.output)
                                                               : "<none>",
                  c.contents)
            << c.item;
        EXPECT_FALSE(ScratchLeft(folder.Path())) << c.item;
        // The link stays a link.
        struct stat link {};
        EXPECT_TRUE(lstat(folder.PathOf("link").c_str(), &link) == 0 && S_ISLNK(link.st_mode));
    }
    // Standard output, and what is no regular file, are written into.
    ProgramRun out = Run({"get", report, "notes", "--output", "-"});
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.out, "hello");
    EXPECT_EQ(Run({"get", report, "notes", "--output", "/dev/null"}).status, 0);
    ProgramRun full = Run({"get", report, "notes", "--output", "/dev/full"});
    EXPECT_EQ(full.status, 1);
    EXPECT_TRUE(Contains(full.err, "/dev/full: No space left on device")) << full.err;
    EXPECT_FALSE(ScratchLeft(temp.Path()));
}

// A get --output --move that fails leaves the stream in place, and at the
// path either what was there or the whole copy.
TEST_F(GetPutCommandTest, AFailedGetOutputLeavesThePathAndTheStream) {
    const std::string output = temp.AddFile("out", "old");
    for (const char* function : {"BackupRead", "CreateFileA", "CopyFileA", "DeleteFileA"}) {
        for (unsigned nth : {1u, 2u}) {
            std::istringstream in;
            std::ostringstream out, err;
            mvx::InjectFault(function, nth, ERROR_DISK_FULL);
            const int status =
                RunMorvex({"get", report, "notes", "--output", output, "--move"}, in, out, err,
                          false);
            mvx::ClearFaults();
            // Either the whole move was done, or nothing of it.
            if (status == 0) {
                EXPECT_EQ(temp.Contents("out"), "hello") << function << nth;
                EXPECT_EQ(Stream(report, "notes"), "<missing>") << function << nth;
                ASSERT_EQ(setxattr(report.c_str(), "user.notes", "hello", 5, 0), 0);
            } else {
                // The copy may be in place when only the deleting failed.
                const std::string out = temp.Contents("out");
                EXPECT_TRUE(out == "old" || out == "hello") << function << nth << err.str();
            }
            temp.AddFile("out", "old");
            EXPECT_EQ(Stream(report, "notes"), "hello") << function << nth;
            EXPECT_FALSE(ScratchLeft(temp.Path())) << function << nth;
        }
    }
}

// "The same file" is the same device and inode: no spelling that reaches the
// opened file (a link to it, a link to its folder, a hard link, its own
// name) lets a copy write over it. Each route is refused, or replaces the
// link, and the file keeps its data and its stream.
TEST_F(GetPutCommandTest, NoOutputRouteWritesOverTheOpenedFile) {
    temp.AddDirectory("real");
    const std::string file = temp.AddFile("real/a", "0123456789");
    setxattr(file.c_str(), "user.a", "stream a", 8, 0);
    setxattr(file.c_str(), "user.notes", "hello", 5, 0);
    symlink(temp.PathOf("real").c_str(), temp.PathOf("link").c_str());
    struct Case {
        const char* trap;   // what stands at the output, reaching the file
        Texts arguments;    // after "get FILE"
    };
    const Case cases[] = {
        {"", {"a", "--to", "link", "--yes"}},                    // link/a is real/a
        {"", {"a", "--to", "real", "--yes"}},                    // real/a itself
        {"out/{Data}", {"{Data}", "--to", "out", "--yes"}},      // a link to the file
        {"out/{Security_Data}", {"{Security_Data}", "--to", "out", "--yes"}},
        {"out/notes", {"notes", "--to", "out", "--yes"}},
        {"hard/{Data}", {"{Data}", "--to", "hard", "--yes"}},    // a hard link to the file
        {"", {"notes", "--output", "real/a"}},
        {"", {"notes", "--output", "link/a"}},
        {"out/notes", {"notes", "--output", "out/notes"}},
    };
    // The file named as Linux names it, and as the system does.
    for (const std::string& spelled : {file, WindowsName(file)})
    for (const Case& c : cases) {
        SCOPED_TRACE(spelled + " " + c.arguments[0] + " " + c.arguments[2]);
        temp.AddDirectory("out");
        temp.AddDirectory("hard");
        if (std::string(c.trap).rfind("hard/", 0) == 0)
            link(file.c_str(), temp.PathOf(c.trap).c_str());
        else if (*c.trap)
            symlink(file.c_str(), temp.PathOf(c.trap).c_str());
        Texts arguments = {"get", spelled};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        Run(arguments);
        EXPECT_EQ(temp.Contents("real/a"), "0123456789");
        char value[16] = {};
        EXPECT_EQ(getxattr(file.c_str(), "user.notes", value, sizeof(value)), 5);
        EXPECT_EQ(getxattr(file.c_str(), "user.a", value, sizeof(value)), 8);
        fs::remove_all(temp.PathOf("out"));
        fs::remove_all(temp.PathOf("hard"));
    }
    // A 32-bit program tells a file of 2 GiB and more by the same means.
    for (const long long size : {0x7FFFFFFFLL, 0x80000000LL}) {
        SCOPED_TRACE(size);
        const std::string sparse = temp.AddFile("sparse", "0123456789");
        ASSERT_EQ(truncate(sparse.c_str(), size), 0);
        const ProgramRun run = Run({"get", sparse, "{Data}", "--output", sparse});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(Contains(run.err, "is the file the item is read from")) << run.err;
        std::string start(10, '\0');
        std::ifstream(sparse, std::ios::binary).read(&start[0], 10);
        EXPECT_EQ(start, "0123456789");
    }
}

// The plug-in writes to DIR, a backslash and the item's name: an entry named
// so beside DIR (here a link to a victim, or a plain file) is never what it
// writes, whichever route the item takes.
TEST_F(GetPutCommandTest, AnEntryBesideTheDestinationIsNeverWritten) {
    const std::string victim = temp.AddFile("victim", "victim");
    for (const char* item : {"{Data}", "{Security_Data}", "notes"})
        for (const bool plantedAsLink : {true, false}) {
            SCOPED_TRACE(std::string(item) + (plantedAsLink ? " link" : " file"));
            temp.AddDirectory("d");
            const std::string beside = temp.PathOf("d\\" + std::string(item));
            if (plantedAsLink)
                symlink(victim.c_str(), beside.c_str());
            else
                temp.AddFile("d\\" + std::string(item), "beside");
            ProgramRun run = Run({"get", report, item, "--to", temp.PathOf("d"), "--yes"});
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_TRUE(temp.Exists("d/" + std::string(item)));
            EXPECT_EQ(temp.Contents("victim"), "victim");
            if (!plantedAsLink) {
                EXPECT_EQ(temp.Contents("d\\" + std::string(item)), "beside");
            }
            fs::remove_all(temp.PathOf("d"));
            fs::remove(beside);
        }
}

// A file that --output replaces keeps its mode, its owner and its own
// streams, as a file cp writes over does; a hard link to it keeps the old
// data, for the copy is renamed into place.
TEST_F(GetPutCommandTest, GetOutputKeepsWhatTheReplacedFileWas) {
    if (geteuid() != 0)
        GTEST_SKIP() << "giving the target away needs root";
    struct Case {
        const char* item;
        mode_t mode;
        uid_t owner;
        gid_t group;
    };
    const Case cases[] = {
        {"notes", 0600, 0, 0},       {"notes", 0640, 1234, 5678}, {"{Data}", 0600, 1234, 5678},
        {"notes", 04755, 1234, 5678}, {"{Data}", 0444, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + std::to_string(c.mode));
        const std::string target = temp.AddFile("target", "old");
        setxattr(target.c_str(), "user.own", "mine", 4, 0);
        ASSERT_EQ(link(target.c_str(), temp.PathOf("twin").c_str()), 0);
        ASSERT_EQ(chown(target.c_str(), c.owner, c.group), 0);
        ASSERT_EQ(chmod(target.c_str(), c.mode), 0);
        ProgramRun run = Run({"get", report, c.item, "--output", target});
        EXPECT_EQ(run.status, 0) << run.err;
        struct stat made {};
        ASSERT_EQ(stat(target.c_str(), &made), 0);
        EXPECT_EQ(made.st_mode & 07777, c.mode);
        EXPECT_EQ(made.st_uid, c.owner);
        EXPECT_EQ(made.st_gid, c.group);
        EXPECT_EQ(Stream(target, "own"), "mine");
        EXPECT_EQ(temp.Contents("target"), std::string(c.item) == "notes" ? "hello" : "0123456789");
        EXPECT_EQ(temp.Contents("twin"), "old");
        fs::remove(target);
        fs::remove(temp.PathOf("twin"));
    }
}

// A file that an output replaces keeps its own streams and its mode by every
// route an item takes: the data copied by the plug-in, the descriptor's
// report, and an alternate data stream copied by the system.
TEST_F(GetPutCommandTest, AReplacedOutputKeepsItsOwnStreamsByEveryRoute) {
    for (const char* item : {"{Data}", "{Security_Data}", "notes"})
        for (const bool toOutput : {false, true}) {
            SCOPED_TRACE(std::string(item) + (toOutput ? " --output" : " --to"));
            temp.AddDirectory("out");
            const std::string target = temp.AddFile("out/" + std::string(item), "old");
            ASSERT_EQ(setxattr(target.c_str(), "user.own", "mine", 4, 0), 0);
            ASSERT_EQ(setxattr(target.c_str(), "user.more", "", 0, 0), 0);
            ASSERT_EQ(chmod(target.c_str(), 0604), 0);
            ProgramRun run = toOutput ? Run({"get", report, item, "--output", target})
                                      : Run({"get", report, item, "--to", temp.PathOf("out"),
                                             "--yes"});
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_NE(temp.Contents("out/" + std::string(item)), "old");
            EXPECT_EQ(StreamsOf(target), (StreamSet{{"more", ""}, {"own", "mine"}}));
            struct stat status {};
            ASSERT_EQ(stat(target.c_str(), &status), 0);
            EXPECT_EQ(status.st_mode & 07777, 0604u);
            fs::remove_all(temp.PathOf("out"));
        }
}

// A get --output that fails says in one line what failed, where it was
// going, the plug-in's text and the system's reason, as get --to says it; a
// move whose deletion fails names the stream that stays.
TEST_F(GetPutCommandTest, AFailedGetOutputSaysWhatWhereAndWhy) {
    const std::string output = temp.PathOf("copy");
    struct Case {
        const char* item;
        std::string path;  // the output
        const char* fault;  // fails with ERROR_DISK_FULL at its first call
        bool move;
        std::string err;
    };
    const std::string full = "There is not enough space on the disk.";
    const Case cases[] = {
        {"{Data}", output, "WriteFile", false,
         "{Data} -> " + output + ": File writing error: " + full},
        {"notes", output, "CopyFileA.WriteChunk", false,
         "notes -> " + output + ": Copy error: " + full},
        {"notes", "-", "CopyFileA.WriteChunk", false, "notes -> -: Copy error: " + full},
        {"{Security_Data}", output, "WriteFile", false,
         "{Security_Data} -> " + output + ": Can not write SecurityDescriptor: " + full},
        {"notes", output, "DeleteFileA", true, report + ":notes: Delete error: " + full},
        {"{Data}", output, nullptr, true,
         report + ":{Data}: Plugin can delete only Alternative data stream"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + (c.fault ? c.fault : "move"));
        Texts arguments = {"get", report, c.item, "--output", c.path};
        if (c.move)
            arguments.push_back("--move");
        if (c.fault != nullptr)
            mvx::InjectFault(c.fault, 1, ERROR_DISK_FULL);
        std::string told;
        EXPECT_EQ(RunHere(arguments, "", told, false), 1);
        mvx::ClearFaults();
        EXPECT_EQ(told, "morvex: " + c.err + "\n");
        EXPECT_EQ(Stream(report, "notes"), "hello");
        EXPECT_FALSE(ScratchLeft(temp.Path()));
        fs::remove(output);
    }
}

// The path of a get --output may change between the look at it and the
// copy's delivery (here as the file's streams are read): a file that went is
// made anew, and one that came meanwhile is replaced as any file is, keeping
// its mode and its streams. A pipe is written into where it is; one swapped
// for a regular file is not written into, which would cut that file.
TEST_F(GetPutCommandTest, GetOutputDeliversToWhatItsPathIsAtTheEnd) {
    const std::string output = temp.PathOf("out");
    struct Case {
        const char* before;     // at the path as get looks: "file", "pipe" or nothing
        const char* meanwhile;  // the file made there as the streams are read, or null
        bool itsOwn;            // that file has a stream own=mine and the mode 0604
        int status;
        std::string err;       // after "morvex: OUTPUT: "
        const char* contents;  // of the path afterwards
    };
    const Case cases[] = {
        {"", "new meanwhile", true, 0, "", "hello"},
        {"file", nullptr, false, 0, "", "hello"},
        {"pipe", "kept whole", false, 1, "is no pipe or device any more; nothing was written",
         "kept whole"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        if (std::string(c.before) == "file")
            temp.AddFile("out", "old");
        if (std::string(c.before) == "pipe") {
            ASSERT_EQ(mkfifo(output.c_str(), 0600), 0);
        }
        mvx::InjectAction("BackupRead", 1, [&] {
            fs::remove(output);
            if (c.meanwhile != nullptr)
                temp.AddFile("out", c.meanwhile);
            if (c.itsOwn) {
                setxattr(output.c_str(), "user.own", "mine", 4, 0);
                chmod(output.c_str(), 0604);
            }
        });
        std::string told;
        const int status = RunHere({"get", report, "notes", "--output", output}, "", told, false);
        mvx::ClearFaults();
        EXPECT_EQ(status, c.status) << told;
        EXPECT_EQ(told, c.err.empty() ? "" : "morvex: " + output + ": " + c.err + "\n");
        EXPECT_EQ(temp.Contents("out"), c.contents);
        EXPECT_EQ(StreamsOf(output), (c.itsOwn ? StreamSet{{"own", "mine"}} : StreamSet{}));
        struct stat made {};
        ASSERT_EQ(stat(output.c_str(), &made), 0);
        if (c.itsOwn) {
            EXPECT_EQ(made.st_mode & 07777, 0604u);
        }
        EXPECT_FALSE(ScratchLeft(temp.Path()));
        fs::remove(output);
    }
}

// A new output is no more open than the file it comes from: its permission
// bits, without setuid, setgid and sticky, under the umask, by every route.
TEST_F(GetPutCommandTest, NewOutputsTakeTheModeOfTheFile) {
    struct Case {
        mode_t file, mask, made;
    };
    const Case cases[] = {
        {0600, 022, 0600}, {0640, 022, 0640}, {04755, 022, 0755},
        {02775, 002, 0775}, {0777, 077, 0700}, {0444, 022, 0444},
    };
    for (const Case& c : cases)
        for (const char* item : {"{Data}", "notes"})
            for (const bool toOutput : {false, true}) {
                SCOPED_TRACE(std::string(item) + " " + std::to_string(c.file) +
                             (toOutput ? " --output" : " --to"));
                ASSERT_EQ(chmod(report.c_str(), c.file), 0);
                const mode_t saved = umask(c.mask);
                ProgramRun run =
                    toOutput ? Run({"get", report, item, "--output", temp.PathOf("made")})
                             : Run({"get", report, item, "--to", temp.PathOf("out"), "--yes"});
                umask(saved);
                EXPECT_EQ(run.status, 0) << run.err;
                const std::string made = toOutput ? "made" : "out/" + std::string(item);
                struct stat status {};
                ASSERT_EQ(stat(temp.PathOf(made).c_str(), &status), 0);
                EXPECT_EQ(status.st_mode & 07777, c.made);
                fs::remove_all(temp.PathOf("out"));
                fs::remove(temp.PathOf("made"));
            }
    chmod(report.c_str(), 0644);
}

// The destination is held from the start: swapped for a link to another
// folder midway (here as the first item is put in place), it still receives
// every item, and the folder the link names receives none.
TEST_F(GetPutCommandTest, ADestinationSwappedMidwayStillReceivesEveryItem) {
    WorkingDirectory here(temp.Path());
    // With --yes, and on a terminal where the folder is typed in the dialog.
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "--yes" : "typed");
        temp.AddDirectory("d");
        ExpectEveryItemIn(yes ? Texts{"get", "report.txt", "--to", "d", "--yes"}
                              : Texts{"get", "report.txt", "--to", "elsewhere"},
                          yes ? "" : temp.PathOf("d") + "/\n\n", "d", "d.moved");
    }
}

// A destination that is not there yet is made before the first item, with
// its missing parents, and held from its making on: swapped for a link to
// another folder midway, it still receives every item, and the folder the
// link names receives none.
TEST_F(GetPutCommandTest, ANewDestinationIsHeldFromItsMaking) {
    WorkingDirectory here(temp.Path());
    // With --yes, and on a terminal where the folder is typed in the dialog.
    for (const bool yes : {true, false})
        for (const std::string made : {"d", "d/deeper/still"}) {
            SCOPED_TRACE(made + (yes ? " --yes" : " typed"));
            ExpectEveryItemIn(yes ? Texts{"get", "report.txt", "--to", made, "--yes"}
                                  : Texts{"get", "report.txt", "--to", "elsewhere"},
                              yes ? "" : made + "/\n\n", made, "moved");
        }
}

// A signal that ends a copy midway (here at a chosen call of the layer)
// leaves no temporary and no scratch folder, and every target as it was.
TEST_F(GetPutCommandTest, ASignalMidwayLeavesNothingBehind) {
    const std::string data(3 * 512 * 1024, 'd');  // {Data} takes three chunks
    temp.AddFile("big", data);
    setxattr(temp.PathOf("big").c_str(), "user.notes", "hello", 5, 0);
    struct Route {
        Texts arguments;
        const char* call;  // the layer call at whose nth use the signal comes
        unsigned nth;
    };
    const Route routes[] = {
        {{"get", "big", "{Data}", "--to", "out", "--yes"}, "WriteFile", 2},
        {{"get", "big", "notes", "--to", "out", "--yes"}, "CopyFileA.WriteChunk", 1},
        {{"get", "big", "{Data}", "--output", "out/kept"}, "WriteFile", 2},
        {{"get", "big", "notes", "--output", "out/kept"}, "CopyFileA.WriteChunk", 1},
        {{"get", "big", "notes", "--output", "-"}, "CopyFileA.WriteChunk", 1},
        {{"get", "big", "{Data}", "--output", "-"}, "WriteFile", 2},
        {{"put", "big", "out/kept", "--as", "copy", "--yes"}, "CopyFileA", 1},
    };
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        for (const Route& route : routes) {
            SCOPED_TRACE(route.arguments[2] + " " + route.arguments[3] + " " + route.arguments[4] +
                         " signal " + std::to_string(signal));
            temp.AddDirectory("out");
            temp.AddFile("out/kept", "kept");
            temp.AddFile("out/{Data}", "old data");
            const pid_t child = fork();
            if (child == 0) {
                // A child that failed must not go on to run the tests after
                // this one.
                try {
                    WorkingDirectory here(temp.Path());
                    setenv("TMPDIR", temp.PathOf("tmp").c_str(), 1);
                    mvx::InjectAction(route.call, route.nth, [signal] { raise(signal); });
                    std::string shown;
                    RunHere(route.arguments, "", shown);
                } catch (...) {
                    std::_Exit(125);
                }
                std::_Exit(0);
            }
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            for (const auto& entry : fs::recursive_directory_iterator(temp.Path())) {
                const std::string name = entry.path().filename().string();
                EXPECT_EQ(name.find("morvex-"), std::string::npos) << entry.path();
            }
            EXPECT_EQ(temp.Contents("out/kept"), "kept");
            EXPECT_EQ(temp.Contents("out/{Data}"), "old data");
            EXPECT_EQ(temp.Contents("big"), data);
            EXPECT_EQ(Stream(temp.PathOf("big"), "copy"), "<missing>");
            fs::remove_all(temp.PathOf("out"));
        }
}

// Takes what morvex writes, and at each write notes the largest regular file
// under `watched`: a copy staged there before it is passed on shows here.
class StagingWatch : public std::streambuf {
public:
    explicit StagingWatch(std::string folder) : watched(std::move(folder)) {}
    std::string received;
    uintmax_t largestStaged = 0;

protected:
    std::streamsize xsputn(const char* bytes, std::streamsize count) override {
        Look();
        received.append(bytes, static_cast<size_t>(count));
        return count;
    }
    int overflow(int c) override {
        if (c != traits_type::eof()) {
            Look();
            received.push_back(static_cast<char>(c));
        }
        return traits_type::not_eof(c);
    }

private:
    void Look() {
        std::error_code ignored;
        for (fs::recursive_directory_iterator it(watched, ignored), end; it != end;
             it.increment(ignored))
            if (it->is_regular_file(ignored))
                largestStaged = std::max(largestStaged, it->file_size(ignored));
    }
    std::string watched;
};

// Standard output receives each item as the plug-in copies it: no copy of
// the item is ever staged on disk, and nothing is left where it would be.
TEST_F(GetPutCommandTest, GetToStandardOutputStagesNothing) {
    std::string data(3 * 512 * 1024 + 7, 0);  // {Data} takes four chunks
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 13 + i / 4093);
    const std::string big = temp.AddFile("big", data);
    setxattr(big.c_str(), "user.notes", "hello", 5, 0);
    const EnvironmentSetting scratch("TMPDIR", temp.PathOf("tmp"));
    struct Case {
        const char* item;
        std::string expected;  // a prefix of what arrives, for the report
    };
    const Case cases[] = {{"{Data}", data}, {"notes", "hello"}, {"{Security_Data}", "Owner: "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        StagingWatch watch(temp.PathOf("tmp"));
        std::ostream out(&watch);
        std::istringstream in;
        std::ostringstream err;
        EXPECT_EQ(RunMorvex({"get", big, c.item, "--output", "-"}, in, out, err, false), 0)
            << err.str();
        EXPECT_EQ(watch.received.substr(0, c.expected.size()), c.expected);
        EXPECT_EQ(watch.largestStaged, 0u);
        EXPECT_FALSE(ScratchLeft(temp.Path()));
    }
    // A reader that stops early ends morvex as it ends cat: by SIGPIPE, or
    // where that is ignored, with one line; nothing is left behind.
    for (const char* sigpipe : {"--default-signal=PIPE", "--ignore-signal=PIPE"}) {
        SCOPED_TRACE(sigpipe);
        const std::string pipeline = std::string("env ") + sigpipe + " '" +
                                     FindBuildFile("morvex") +
                                     "' get big '{Data}' --output - | head -c 10";
        const ProgramRun run = RunProgram("/bin/sh", {"-c", pipeline},
                                          {{"MORVEX_REGISTRY=" + temp.PathOf("registry.reg"),
                                            "TMPDIR=" + temp.PathOf("tmp")},
                                           "",
                                           temp.Path()});
        EXPECT_EQ(run.out, data.substr(0, 10));
        EXPECT_EQ(run.err, sigpipe[2] == 'd' ? "" : "morvex: write error: Broken pipe\n");
        EXPECT_FALSE(ScratchLeft(temp.Path()));
    }
}

TEST_F(GetPutCommandTest, PutAsWritesTheSourceUnderTheItemName) {
    const std::string source = temp.AddFile("source.bin", "data");
    // Z:FILE:NAME of 259, 260 and 261 characters.
    const size_t kLongest = 259 - temp.PathOf("Z:target:").size();
    struct Case {
        std::string item;
        std::string stream;  // the stream written; empty when refused
        std::string error;   // part of what stderr says
    };
    const Case cases[] = {
        {"plain", "plain", ""},
        {" a b", " a b", ""},
        {"a b ", "a b ", ""},
        {"tab[9]name", "tab\tname", ""},
        {"[1]", "\x01", ""},
        {"[0]", "", "[Number] in name must be more than 0 and less than 256"},
        {"[256]", "", "[Number] in name must be more than 0 and less than 256"},
        {"[x]", "", "Incorrect [Number] in name"},
        {"caf\u00e9 \u65e5\u672c", "caf\u00e9 \u65e5\u672c", ""},
        {"{Data}", "", "Only writing ALTERNATE DATA streams"},
        {std::string(kLongest, 'n'), std::string(kLongest, 'n'), ""},
        // The length is the system's to judge, and Linux takes more.
        {std::string(kLongest + 1, 'n'), std::string(kLongest + 1, 'n'), ""},
        {std::string(kLongest + 2, 'n'), std::string(kLongest + 2, 'n'), ""},
        {"col:on", "", "The filename, directory name, or volume label syntax is incorrect"},
    };
    // From a file, and from standard input ("-"); messages name what the
    // user gave, never the program's own scratch folder.
    for (const bool fromInput : {false, true})
        for (const Case& c : cases) {
            SCOPED_TRACE(c.item + (fromInput ? " from standard input" : ""));
            const std::string target = temp.AddFile("target", "main");
            ProgramRun run = Run({"put", target, fromInput ? "-" : source, "--as", c.item, "--yes"},
                                 fromInput ? "data" : "");
            EXPECT_EQ(run.status, c.stream.empty() ? 1 : 0) << run.err;
            EXPECT_TRUE(Contains(run.err, c.error)) << run.err;
            EXPECT_FALSE(Contains(run.err, ".morvex-")) << run.err;
            StreamSet expected;
            if (!c.stream.empty())
                expected[c.stream] = "data";
            EXPECT_EQ(StreamsOf(target), expected);
            EXPECT_EQ(temp.Contents("target"), "main");
            EXPECT_FALSE(ScratchLeft(temp.Path()));
            unlink(target.c_str());
        }
    // --move deletes the source only once it is written.
    const std::string target = temp.AddFile("target", "");
    EXPECT_EQ(Run({"put", target, source, "--as", "[0]", "--move", "--yes"}).status, 1);
    EXPECT_TRUE(temp.Exists("source.bin"));
    EXPECT_EQ(Run({"put", target, source, "--as", "moved", "--move", "--yes"}).status, 0);
    EXPECT_EQ(Stream(target, "moved"), "data");
    EXPECT_FALSE(temp.Exists("source.bin"));
    ProgramRun gone = Run({"put", target, source, "--as", "again", "--yes"});
    EXPECT_EQ(gone.status, 1);
    EXPECT_TRUE(Contains(gone.err, "source.bin: No such file or directory")) << gone.err;
}

// Standard input is written whole, however little it holds: a stream may
// be empty, as a file may. Input that cannot be read is no empty stream.
TEST_F(GetPutCommandTest, PutAsWritesStandardInputOfAnySize) {
    struct Case {
        std::string input;
        bool unreadable;  // standard input is a folder
        std::string err;  // none: the input is written
    };
    const Case cases[] = {
        {"", false, ""},
        {"x", false, ""},
        {std::string(3000, 'b'), false, ""},
        {"", true, "morvex: cannot hand standard input over as in: Is a directory\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(&c - cases));
        const std::string target = temp.AddFile("target", "main");
        const ProgramRun run =
            !c.unreadable ? Run({"put", target, "-", "--as", "in", "--yes"}, c.input)
                          : RunProgram("/bin/sh",
                                       {"-c", "exec \"$0\" put \"$1\" - --as in --yes < \"$2\"",
                                        FindBuildFile("morvex"), target, temp.PathOf("tmp")},
                                       {{"TMPDIR=" + temp.PathOf("tmp")}, "", temp.Path()});
        EXPECT_EQ(run.status, c.err.empty() ? 0 : 1) << run.err;
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(StreamsOf(target), (c.unreadable ? StreamSet{} : StreamSet{{"in", c.input}}));
        EXPECT_FALSE(ScratchLeft(temp.Path()));
        unlink(target.c_str());
    }
}

TEST_F(GetPutCommandTest, CommandLinesThatCannotBeRunAreUsageErrors) {
    for (const Texts& arguments :
         {Texts{"get", report}, Texts{"get", report, "--to"}, Texts{"get", report, "--to="},
          Texts{"get", "--to", "x"}, Texts{"get", report, "--to", "x", "--quiet"},
          Texts{"put", report}, Texts{"put", report, "a", "--to", "x"}}) {
        ProgramRun run = Run(arguments);
        EXPECT_EQ(run.status, 2) << arguments.back();
        EXPECT_TRUE(Contains(run.err, "usage:"));
    }
    // "--" ends the options: a source may start with a dash.
    temp.AddFile("--yes", "dash");
    EXPECT_EQ(Run({"put", report, "--yes", "--", "--yes"}).status, 0);
    EXPECT_EQ(Stream(report, "--yes"), "dash");
}

}  // namespace
