// What the morvex program says when a file, an item or a source cannot be had:
// one line, "morvex: " first, with the system's reason as the layer gave it,
// and the user's names shown without their control characters.
#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <sstream>
#include <string>
#include <vector>

#include "host/MorvexProgram.h"
#include "host/module/BuildLocation.h"
#include "platform/posix/core/FaultInjection.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;

class FailureReasonTest : public ::testing::Test {
protected:
    FailureReasonTest() : report(temp.AddFile("report.txt", "data")) {
        setxattr(report.c_str(), "user.notes", "x", 1, 0);
    }
    ~FailureReasonTest() override { mvx::ClearFaults(); }

    // The path of a new file whose full Windows name, Z: and the path, is
    // `length` characters long.
    std::string FileWithFullNameOf(size_t length) const {
        const size_t base = temp.Path().size() + 1 + 2;
        return temp.AddFile(std::string(length - base, 'n'));
    }

    TempDirectory temp;
    std::string report;
};

TEST_F(FailureReasonTest, WhatCannotBeOpenedIsOneLineWithTheSystemsReason) {
    const char kNotFound[] = "The system cannot find the file specified.";
    const std::string notUtf8 = temp.AddFile("odd.txt", "x");
    setxattr(notUtf8.c_str(), "user.\xFF", "x", 1, 0);
    struct Case {
        const char* what;
        Texts arguments;  // FILE stands for report.txt
        const char* faultIn;  // fails once with `fault`, or null
        unsigned nth;
        DWORD fault;
        std::string err;  // FILE stands for report.txt; empty: exit status 0
    };
    const std::string atLimit = FileWithFullNameOf(MAX_PATH - 1);
    const std::string pastLimit = FileWithFullNameOf(MAX_PATH);
    const std::string missing = temp.PathOf("missing.txt");
    const std::string source = temp.AddFile("source", "s");
    const Case cases[] = {
        {"a missing file", {"list", missing}, nullptr, 0, 0,
         "cannot open " + missing + ": " + kNotFound},
        {"the backup walk refused", {"list", "FILE"}, "BackupRead", 1, ERROR_ACCESS_DENIED,
         "cannot open FILE: Access is denied."},
        {"the walk refused at its second step", {"rm", "FILE", "notes"}, "BackupRead", 2,
         ERROR_LOCK_VIOLATION,
         "cannot open FILE: The process cannot access the file because another process has "
         "locked a portion of the file."},
        {"the file held by another", {"get", "FILE", "--to", "out"}, "CreateFileA", 1,
         ERROR_SHARING_VIOLATION,
         "cannot open FILE: The process cannot access the file because it is being used by "
         "another process."},
        {"a stream name that is not UTF-8", {"list", notUtf8}, nullptr, 0, 0,
         "cannot open " + notUtf8 +
             ": An extended attribute of the file has a name that is not valid UTF-8, so it "
             "cannot be shown as a stream; the streams after it are not listed. To list them, "
             "copy its value under a UTF-8 name and remove the old name with setfattr -x."},
        {"a full name as long as the system takes", {"list", atLimit}, nullptr, 0, 0, ""},
        {"one character longer", {"list", pastLimit}, nullptr, 0, 0,
         "cannot open " + pastLimit + ": The filename or extension is too long."},
        {"an empty name", {"list", ""}, nullptr, 0, 0, "cannot open : the name is empty"},
        {"control characters in the name", {"list", "a\x1B[2J\tb"}, nullptr, 0, 0,
         std::string("cannot open a\\x1b[2J\\tb: ") + kNotFound},
        {"an unknown item", {"rm", "FILE", "no\x7Fpe", "--yes"}, nullptr, 0, 0,
         "FILE: no item 'no\\x7fpe' in the stream list"},
        {"a missing source", {"put", "FILE", missing}, nullptr, 0, 0,
         missing + ": " + kNotFound},
        // The file's own opening comes first.
        {"a source that cannot be read", {"put", "FILE", source}, "CreateFileA", 2,
         ERROR_ACCESS_DENIED, source + ": Access is denied."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Texts arguments;
        for (const std::string& argument : c.arguments)
            arguments.push_back(argument == "FILE" ? report : argument);
        std::string expected = c.err;
        if (size_t at = expected.find("FILE"); at != std::string::npos)
            expected.replace(at, 4, report);
        if (c.faultIn != nullptr)
            mvx::InjectFault(c.faultIn, c.nth, c.fault);
        std::istringstream in;
        std::ostringstream out, err;
        const int status = RunMorvex(arguments, in, out, err, false);
        mvx::ClearFaults();
        EXPECT_EQ(status, expected.empty() ? 0 : 1);
        EXPECT_EQ(err.str(), expected.empty() ? "" : "morvex: " + expected + "\n");
    }
}

TEST_F(FailureReasonTest, NamesAreGivenInTheCodePageOfFileNames) {
    const std::string latin = temp.AddFile("caf\xC3\xA9.txt", "x");
    const std::string japanese = temp.AddFile("\xE6\x97\xA5\xE6\x9C\xAC.txt", "x");
    struct Case {
        std::string file;
        const char* page;
        std::string err;
    };
    const Case cases[] = {
        {latin, "1252", ""},
        {latin, "65001", ""},
        {japanese, "65001", ""},
        {japanese, "1252",
         "morvex: cannot open " + japanese +
             ": No mapping for the Unicode character exists in the target multi-byte code "
             "page.\n"},
    };
    for (const Case& c : cases) {
        ProgramRun run = RunProgram(
            FindBuildFile("morvex"), {"list", c.file},
            {{"MORVEX_ACP=" + std::string(c.page), "LC_ALL=C.UTF-8",
              "MORVEX_REGISTRY=" + temp.PathOf("registry.reg")},
             "",
             ""});
        EXPECT_EQ(run.status, c.err.empty() ? 0 : 1) << c.page << " " << c.file;
        EXPECT_EQ(run.err, c.err);
    }
}

}  // namespace
