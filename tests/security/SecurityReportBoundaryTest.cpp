// The raw security report when the stream size that serves as the first
// guess of the descriptor's size lies at the edges: just below and at the
// descriptor's own size, at the largest size a descriptor can have and one
// past it, and where the stream size's low half is all ones or zero.
#include "security/SecurityReport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/posix/core/FaultInjection.h"
#include "platform/posix/security/SecurityPrivilege.h"
#include "tests/common/TempDrive.h"
#include "tests/common/Thrown.h"

namespace {

// A 20-byte header, two SIDs of at most 68 bytes and two lists of at most 0xFFFF bytes.
constexpr uint64_t kLongestDescriptor = 20 + 2 * 0xFFFF + 2 * 68;

class SecurityReportBoundaryTest : public ::testing::Test {
protected:
    SecurityReportBoundaryTest() : drive('T') {
        mvx::ClearFaults();
        mvx::SetSecurityPrivilegeRefused(true);
        drive.Directory().AddFile("f", "x");
        source = drive.Name("f");
        DWORD needed = 0;
        GetFileSecurityA(source.c_str(), 7, nullptr, 0, &needed);
        descriptor.assign(needed, '\0');
        EXPECT_TRUE(GetFileSecurityA(source.c_str(), 7, &descriptor[0], needed, &needed));
    }

    ~SecurityReportBoundaryTest() override {
        mvx::ClearFaults();
        mvx::SetSecurityPrivilegeRefused(false);
        mvx::SetSecurityPrivilegeEnabled(false);
    }

    // What the report of T:\f with the stream size `size` throws.
    std::string Report(uint64_t size) {
        StreamEntry stream;
        stream.size = size;
        return ThrownText([&] {
            WriteSecurityReport(stream, CStringBase<char>(source.c_str()), false,
                                CStringBase<char>("T:\\report.sd"), false);
        });
    }

    TempDrive drive;
    std::string source;
    std::string descriptor;
};

TEST_F(SecurityReportBoundaryTest, AnyFirstGuessGivesTheWholeDescriptor) {
    const uint64_t size = descriptor.size();
    ASSERT_GT(size, 20u);
    struct Case {
        uint64_t guess;
        unsigned calls;  // GetFileSecurityA: one when the guess holds the descriptor
    };
    const Case cases[] = {
        {size - 1, 2},
        {size, 1},
        {kLongestDescriptor, 1},
        // A guess no descriptor can fill is no guess: the size is asked for.
        {kLongestDescriptor + 1, 2},
        {0xFFFFFFFFull, 2},
        {0x100000000ull, 2},
        {0x7FFFFFFFFFFFFFFFull, 2},
        {0xFFFFFFFFFFFFFFFFull, 2},
    };
    for (const Case& c : cases) {
        mvx::ClearFaults();
        EXPECT_EQ(Report(c.guess), "(nothing)") << c.guess;
        EXPECT_EQ(drive.Directory().Contents("report.sd"), descriptor) << c.guess;
        EXPECT_EQ(mvx::CallCount("GetFileSecurityA"), c.calls) << c.guess;
    }
}

}  // namespace
