// morvex config reads the switches back after the plug-in stored them: a
// registry that did not take them is a failure, told, never a silent success.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "host/MorvexProgram.h"
#include "host/module/BuildLocation.h"
#include "platform/posix/core/FaultInjection.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/platform/EnvironmentSettingSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;

const char kNotSaved[] =
    "morvex: the settings were not saved: the registry does not hold them afterwards (can "
    "$MORVEX_REGISTRY, by default ~/.config/morvex/registry.reg, be written?)\n";

const std::string kRegistryHeader = "Windows Registry Editor Version 5.00\n";
const std::string kSwitchesKey = "[HKEY_CURRENT_USER\\Software\\MorvexHost\\Plugins\\MORVEX]\n";

TEST(ConfigCommand, SettingsThatDoNotReachTheRegistryAreAFailure) {
    TempDirectory temp;
    temp.AddFile("file");
    temp.AddDirectory("directory");
    const std::string registry = temp.PathOf("registry.reg");
    const std::string other = "[HKEY_CURRENT_USER\\Other]\n\"Other\"=dword:5\n";
    struct Case {
        const char* registry;
        std::string contents;  // of registry.reg, made when not empty
        Texts arguments;
        int status;
        std::string out, err;
        std::string kept;  // a part of the file found there afterwards
    };
    const Case cases[] = {
        {"registry.reg", "", {"config", "--parse-security", "off"}, 0,
         "used-by-default: on\nparse-security: off\n", "", ""},
        {"directory", "", {"config", "--parse-security", "off"}, 1, "",
         "morvex: cannot read the settings in " + temp.PathOf("directory") +
             ": The settings file is a device, pipe, socket or directory, not a regular file, "
             "so the settings cannot be saved there. Point MORVEX_REGISTRY at a regular file.\n",
         ""},
        {"file/registry.reg", "", {"config", "--used-by-default", "on"}, 1, "", kNotSaved, ""},
        // Nothing is stored when nothing is set: the switches are shown.
        {"file/registry.reg", "", {"config"}, 0, "used-by-default: on\nparse-security: on\n", "",
         ""},
        // A comment and a short dword are the registry format: read, no word said.
        {"registry.reg", kRegistryHeader + "; mine\n" + kSwitchesKey + "\"ParseSecurity\"=dword:0\n",
         {"config"}, 0, "used-by-default: on\nparse-security: off\n", "", "; mine\n"},
        // A line that cannot be read is told, and kept through a change.
        {"registry.reg",
         kRegistryHeader + kSwitchesKey + "\"UsedByDefault\"=dword:0\n\"Bad\"=dword:123456789\n" +
             other,
         {"config", "--parse-security", "off"}, 0, "used-by-default: off\nparse-security: off\n",
         "morvex: " + registry +
             ":4: cannot read this line (dword: takes 1 to 8 hex digits); it is kept as it is\n",
         "\"Bad\"=dword:123456789\n\"ParseSecurity\"=dword:00000000\n" + other},
        // A file that is no registry file is never taken for the defaults.
        {"registry.reg", "[Settings]\nUsedByDefault=0\n", {"config"}, 1, "",
         "morvex: cannot read the settings in " + registry +
             ": The settings file is not a registry file: it does not start with the line "
             "\"Windows Registry Editor Version 5.00\" or \"REGEDIT4\", in UTF-8 or in UTF-16 "
             "text. It is left as it is; point MORVEX_REGISTRY at another file, or move this one "
             "away.\n",
         "[Settings]\nUsedByDefault=0\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.contents);
        if (!c.contents.empty())
            temp.AddFile("registry.reg", c.contents);
        ProgramRun run = RunProgram(FindBuildFile("morvex"), c.arguments,
                                    {{"MORVEX_REGISTRY=" + temp.PathOf(c.registry)}, "", ""});
        EXPECT_EQ(run.status, c.status) << c.registry;
        EXPECT_EQ(run.out, c.out) << c.registry;
        EXPECT_EQ(run.err, c.err) << c.registry;
        if (!c.kept.empty()) {
            EXPECT_NE(temp.Contents("registry.reg").find(c.kept), std::string::npos);
        }
    }
}

TEST(ConfigCommand, AWriteTheRegistryRefusesIsAFailure) {
    TempDirectory temp;
    const EnvironmentSetting registry("MORVEX_REGISTRY", temp.PathOf("registry.reg"));
    struct Case {
        const char* function;
        unsigned nth;  // UsedByDefault is written first, then ParseSecurity
        int status;
    };
    const Case cases[] = {
        {"RegCreateKeyExA", 1, 1}, {"RegSetValueExA", 1, 1}, {"RegSetValueExA", 2, 1},
        {"RegSetValueExA", 3, 0},  {"RegCreateKeyExA", 3, 0},
    };
    const auto configure = [](const char* state, std::ostringstream& err) {
        std::istringstream in;
        std::ostringstream out;
        return RunMorvex({"config", "--used-by-default", state, "--parse-security", state}, in,
                         out, err, false);
    };
    for (const Case& c : cases) {
        // Both switches change, so that no value stored before passes for a new one.
        for (const char* state : {"on", "off"}) {
            std::ostringstream before, err;
            ASSERT_EQ(configure(state[1] == 'n' ? "off" : "on", before), 0) << before.str();
            mvx::InjectFault(c.function, c.nth, ERROR_ACCESS_DENIED);
            const int status = configure(state, err);
            mvx::ClearFaults();
            EXPECT_EQ(status, c.status) << c.function << " " << c.nth << " " << state;
            EXPECT_EQ(err.str(), c.status == 0 ? "" : kNotSaved);
        }
    }
}

}  // namespace

namespace {

// Starts `morvex ARGUMENTS` with `environment` added; its pid.
pid_t StartMorvex(const Texts& arguments, const Texts& environment) {
    const std::string program = FindBuildFile("morvex");
    std::vector<char*> argv = {const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        for (const std::string& setting : environment)
            putenv(const_cast<char*>(setting.c_str()));
        freopen("/dev/null", "w", stdout);
        execv(program.c_str(), argv.data());
        std::_Exit(127);
    }
    return child;
}

int ExitOf(pid_t child) {
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Each run reads both switches and writes both: runs side by side that set
// one switch each must both be kept, and none may fail for the other.
TEST(ConfigCommand, RunsSideBySideLoseNoChange) {
    TempDirectory temp;
    const Texts environment = {"MORVEX_REGISTRY=" + temp.PathOf("registry.reg"),
                               "XDG_RUNTIME_DIR=" + temp.Path()};
    const Texts both = {"config", "--used-by-default", "on", "--parse-security", "on"};
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(ExitOf(StartMorvex(both, environment)), 0);
        const pid_t first = StartMorvex({"config", "--used-by-default", "off"}, environment);
        const pid_t second = StartMorvex({"config", "--parse-security", "off"}, environment);
        EXPECT_EQ(ExitOf(first), 0);
        EXPECT_EQ(ExitOf(second), 0);
        ProgramRun shown = RunProgram(FindBuildFile("morvex"), {"config"}, {environment, "", ""});
        EXPECT_EQ(shown.out, "used-by-default: off\nparse-security: off\n");
    }
}

}  // namespace
