// The record a sweep starts from: every layer function called since the fault
// table was cleared, each once, with how often it was called.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/posix/core/FaultInjection.h"

namespace {

using Calls = std::vector<std::pair<std::string, unsigned>>;

TEST(CalledFunctions, EachFunctionOnceWithItsCountSinceTheLastClear) {
    struct Case {
        std::vector<const char*> calls;  // made after a clear
        bool faultOnLast;                // a failed call counts as a call
        Calls expected;
    };
    const Case cases[] = {
        {{}, false, {}},
        {{"Alpha"}, false, {{"Alpha", 1}}},
        {{"Alpha"}, true, {{"Alpha", 1}}},
        {{"Beta", "Alpha", "Beta"}, false, {{"Alpha", 1}, {"Beta", 2}}},
        {{"Beta", "Alpha", "Beta"}, true, {{"Alpha", 1}, {"Beta", 2}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        mvx::ClearFaults();
        const std::string last = c.calls.empty() ? "" : c.calls.back();
        if (c.faultOnLast) {
            unsigned nth = 0;
            for (const char* call : c.calls)
                nth += last == call;
            mvx::InjectFault(last.c_str(), nth, 5);
        }
        bool lastFailed = false;
        for (const char* call : c.calls)
            lastFailed = mvx::FaultHit(call);
        EXPECT_EQ(lastFailed, c.faultOnLast);
        EXPECT_EQ(mvx::CalledFunctions(), c.expected);
    }
    mvx::ClearFaults();
    EXPECT_TRUE(mvx::CalledFunctions().empty());
}

}  // namespace
