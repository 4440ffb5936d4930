// `morvex list` sizes where the 32-bit halves of a panel item carry over,
// in the JSON and the plain listing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <string>

#include "host/module/BuildLocation.h"
#include "tests/host/ProgramRunSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

TEST(ListJsonBoundary, SizesAcrossTheLowHalfKeepEveryBit) {
    const uint64_t sizes[] = {0xFFFFFFFFull, 0x100000000ull, 0x100000001ull};
    TempDirectory temp;
    const std::string file = temp.AddFile("big", "");
    const std::string registry = "MORVEX_REGISTRY=" + temp.PathOf("registry.reg");
    for (uint64_t size : sizes) {
        ASSERT_EQ(truncate64(file.c_str(), static_cast<off64_t>(size)), 0);
        const std::string shown = std::to_string(size);
        ProgramRun json = RunProgram(FindBuildFile("morvex"), {"list", file, "--json"},
                                     {{registry}, "", temp.Path()});
        ASSERT_EQ(json.status, 0) << json.err;
        EXPECT_NE(json.out.find("\"name\": \"{Data}\", \"size\": " + shown + ","),
                  std::string::npos)
            << json.out;
        ProgramRun plain =
            RunProgram(FindBuildFile("morvex"), {"list", file}, {{registry}, "", temp.Path()});
        ASSERT_EQ(plain.status, 0) << plain.err;
        EXPECT_NE(plain.out.find("0  " + shown + "  {Data}"), std::string::npos) << plain.out;
    }
}

}  // namespace
