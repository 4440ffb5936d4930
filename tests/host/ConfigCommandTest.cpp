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
#include "tests/platform/TempDirectorySupport.h"

namespace {

using Texts = std::vector<std::string>;

const char kNotSaved[] =
    "morvex: the settings were not saved: the registry does not hold them afterwards (can "
    "$MORVEX_REGISTRY, by default ~/.config/morvex/registry.reg, be written?)\n";

// This process's registry file for one test.
class RegistryFile {
public:
    explicit RegistryFile(const std::string& path) : saved(std::getenv("MORVEX_REGISTRY")) {
        setenv("MORVEX_REGISTRY", path.c_str(), 1);
    }
    ~RegistryFile() {
        if (saved.empty())
            unsetenv("MORVEX_REGISTRY");
        else
            setenv("MORVEX_REGISTRY", saved.c_str(), 1);
    }

private:
    std::string saved;
};

TEST(ConfigCommand, SettingsThatDoNotReachTheRegistryAreAFailure) {
    TempDirectory temp;
    temp.AddFile("file");
    temp.AddDirectory("directory");
    struct Case {
        const char* registry;
        Texts arguments;
        int status;
        std::string out, err;
    };
    const Case cases[] = {
        {"registry.reg", {"config", "--parse-security", "off"}, 0,
         "UsedByDefault: on\nParseSecurity: off\n", ""},
        {"directory", {"config", "--parse-security", "off"}, 1, "", kNotSaved},
        {"file/registry.reg", {"config", "--used-by-default", "on"}, 1, "", kNotSaved},
        // Nothing is stored when nothing is set: the switches are shown.
        {"file/registry.reg", {"config"}, 0, "UsedByDefault: on\nParseSecurity: on\n", ""},
    };
    for (const Case& c : cases) {
        ProgramRun run = RunProgram(FindBuildFile("morvex"), c.arguments,
                                    {{"MORVEX_REGISTRY=" + temp.PathOf(c.registry)}, "", ""});
        EXPECT_EQ(run.status, c.status) << c.registry;
        EXPECT_EQ(run.out, c.out) << c.registry;
        EXPECT_EQ(run.err, c.err) << c.registry;
    }
}

TEST(ConfigCommand, AWriteTheRegistryRefusesIsAFailure) {
    TempDirectory temp;
    RegistryFile registry(temp.PathOf("registry.reg"));
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
        EXPECT_EQ(shown.out, "UsedByDefault: off\nParseSecurity: off\n");
    }
}

}  // namespace
