#include "plugin/ErrorFunnel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <new>
#include <string>

#include "common/ErrorNumbers.h"
#include "common/StringBase.h"
#include "tests/common/AddressSpaceLimitSupport.h"
#include "tests/plugin/CoreHostSupport.h"

namespace {

class ErrorFunnelTest : public ::testing::Test {
protected:
    // The one line the funnel showed, after checking it came as an error box.
    std::string ShownLine() {
        const auto& boxes = host.ui.MessageBoxes();
        if (boxes.size() != 1)
            return "boxes shown: " + std::to_string(boxes.size());
        if (boxes[0].lines.size() != 3)
            return "lines in the box: " + std::to_string(boxes[0].lines.size());
        return boxes[0].lines[1];
    }

    CoreHost host;
};

TEST_F(ErrorFunnelTest, ABodyThatSucceedsPassesItsResultAndShowsNothing) {
    EXPECT_EQ(ErrorFunnel("GetFiles", 0, [] { return 1; }), 1);
    bool ran = false;
    ErrorFunnel("FreeFindData", [&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(host.ui.MessageBoxes().empty());
}

TEST_F(ErrorFunnelTest, AnErrorNumberIsShownAfterTheEntryName) {
    HANDLE result = ErrorFunnel("OpenPlugin", INVALID_HANDLE_VALUE, []() -> HANDLE {
        throw kErrorPanelQueryRefused;
    });
    EXPECT_EQ(result, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ShownLine(), "OpenPlugin #142134");
}

TEST_F(ErrorFunnelTest, ErrorNumbersAreShownUnsignedEvenWithTheTopBitSet) {
    EXPECT_EQ(ErrorFunnel("GetFiles", 0, []() -> int { throw 0x80000001u; }), 0);
    EXPECT_EQ(ErrorFunnel("GetFiles", 0, []() -> int { throw 0xFFFFFFFFu; }), 0);
    EXPECT_EQ(ErrorFunnel("GetFiles", 0, []() -> int { throw 0u; }), 0);
    // A number raised as a plain int is still a number, never "-5".
    EXPECT_EQ(ErrorFunnel("GetFiles", 0, []() -> int { throw -5; }), 0);
    const auto& boxes = host.ui.MessageBoxes();
    ASSERT_EQ(boxes.size(), 4u);
    EXPECT_EQ(boxes[0].lines[1], "GetFiles #2147483649");
    EXPECT_EQ(boxes[1].lines[1], "GetFiles #4294967295");
    EXPECT_EQ(boxes[2].lines[1], "GetFiles #0");
    EXPECT_EQ(boxes[3].lines[1], "GetFiles #4294967291");
}

TEST_F(ErrorFunnelTest, ATextIsShownAfterTheEntryNameAndAColon) {
    EXPECT_EQ(ErrorFunnel("PutFiles", 0, []() -> int { throw "Copy error"; }), 0);
    EXPECT_EQ(ShownLine(), "PutFiles: Copy error");
}

TEST_F(ErrorFunnelTest, AStringObjectIsShownByItsText) {
    EXPECT_EQ(ErrorFunnel("DeleteFiles", 0, []() -> int {
                  CStringBase<char> text("Can not open ");
                  text.Append("D:\\dir\\report.txt");
                  throw text;
              }),
              0);
    EXPECT_EQ(ShownLine(), "DeleteFiles: Can not open D:\\dir\\report.txt");
}

TEST_F(ErrorFunnelTest, AnythingElseIsShownAsTheEntryNameAlone) {
    EXPECT_EQ(ErrorFunnel("Configure", 0, []() -> int { throw std::bad_alloc(); }), 0);
    EXPECT_EQ(ShownLine(), "Configure");
}

TEST_F(ErrorFunnelTest, AnEntryWithoutResultShowsTheErrorAndReturns) {
    ErrorFunnel("GetOpenPluginInfo", [] { throw "String: Index Error"; });
    EXPECT_EQ(ShownLine(), "GetOpenPluginInfo: String: Index Error");
}

TEST_F(ErrorFunnelTest, WithoutMemoryForTheLineTheEntryNameIsShownAlone) {
    // A text too big for the memory left: building the line fails, and the
    // user still learns which operation went wrong.
    std::string huge(32u << 20, 'x');
    int result = -1;
    {
        AddressSpaceLimit limit(8u << 20);
        if (!limit.Failure().empty()) GTEST_SKIP() << limit.Failure();
        result = ErrorFunnel("GetFiles", 0, [&]() -> int { throw huge.c_str(); });
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ShownLine(), "GetFiles");
}

}  // namespace
