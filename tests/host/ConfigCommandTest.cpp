// morvex config reads the switches back after the plug-in stored them: a
// registry that did not take them is a failure, told, never a silent success.
#include <gtest/gtest.h>

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
