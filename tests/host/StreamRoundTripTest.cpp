// Streams with random names, every character the code page carries among them,
// go out through `morvex get` and back in through `morvex put` unchanged, and
// no copy lands outside the directory it was sent to.
#include <gtest/gtest.h>

#include <string>

#include "tests/host/StreamRoundTripSupport.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

TEST(StreamRoundTrip, NamesAndContentsSurviveGetAndPut) {
    struct Case {
        unsigned codePage;
        unsigned seed;
    };
    for (const Case& c : {Case{65001, 1}, Case{65001, 2}, Case{1252, 3}, Case{437, 4}}) {
        SCOPED_TRACE("code page " + std::to_string(c.codePage) + ", seed " +
                     std::to_string(c.seed));
        TempDirectory temp;
        RoundTrip(temp.Path(), c.codePage, c.seed, temp.PathOf("registry.reg"));
    }
}

TEST(StreamRoundTrip, NamesThatLeadElsewhereAreRefusedAndNothingIsWritten) {
    for (const UnreachableName& unreachable : UnreachableStreamNames()) {
        SCOPED_TRACE(unreachable.name);
        TempDirectory temp;
        const std::string original = temp.AddFile("original", "main data");
        ASSERT_TRUE(AddStreams(original, {{unreachable.name, "data"}}));
        ExpectRefused(original, unreachable.error, temp.Path(),
                      {"MORVEX_REGISTRY=" + temp.PathOf("registry.reg")});
    }
}

}  // namespace
