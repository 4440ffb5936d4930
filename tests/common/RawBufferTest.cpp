#include "common/RawBuffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "tests/common/Thrown.h"

namespace {

// A buffer of `capacity` bytes holding 0, 1, 2, ...
void FillNew(CRawBuffer& buffer, uint32_t capacity) {
    buffer.Grow(capacity);
    for (uint32_t i = 0; i < capacity; ++i)
        buffer.Data()[i] = static_cast<BYTE>(i);
}

bool HoldsCounting(CRawBuffer& buffer, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        if (buffer.Data()[i] != static_cast<BYTE>(i))
            return false;
    }
    return true;
}

// Blocks of 64 KiB and more start on a page, where the system copies to and
// from the page cache fastest.
void ExpectPageAlignedWhenLarge(CRawBuffer& buffer) {
    if (buffer.Capacity() >= 65536) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.Data()) % 4096, 0u) << buffer.Capacity();
    }
}

// A buffer of `start` bytes grows by `extra` to `expected`, keeps what it
// held and is usable to its end.
TEST(RawBuffer, GrowthStepsKeepTheContents) {
    struct Case {
        uint32_t start, extra, expected;
    } cases[] = {
        {8, 1, 12},     // 8 or less: 4
        {9, 1, 25},     // from 9: 16
        {64, 1, 80},    // up to 64: 16
        {65, 1, 81},    // above 64: a quarter, 16 here
        {100, 10, 125}, // the quarter beats a smaller request
        {100, 30, 130}, // a larger request beats the quarter
        {524288, 1, 655360},
        {100, 1000, 1100},
        {65535, 1, 81918},    // from just below the page bound to above it
        {65536, 1, 81920},    // from the bound
        {100, 65436, 65536},  // onto the bound, the contents moved along
    };
    for (const Case& c : cases) {
        CRawBuffer buffer;
        FillNew(buffer, c.start);
        ASSERT_EQ(buffer.Capacity(), c.start);
        ExpectPageAlignedWhenLarge(buffer);
        buffer.Grow(c.extra);
        EXPECT_EQ(buffer.Capacity(), c.expected) << "from " << c.start << " by " << c.extra;
        EXPECT_TRUE(HoldsCounting(buffer, c.start)) << c.start;
        std::memset(buffer.Data() + c.start, 0xAB, buffer.Capacity() - c.start);
        ExpectPageAlignedWhenLarge(buffer);
    }
}

TEST(RawBuffer, FreshBufferGetsExactlyTheRequestAboveTheSmallStep) {
    CRawBuffer one;
    EXPECT_EQ(one.Capacity(), 0u);
    EXPECT_EQ(one.Data(), nullptr);
    one.Grow(1);
    EXPECT_EQ(one.Capacity(), 4u);
    CRawBuffer nothingAsked;
    nothingAsked.Grow(0);
    EXPECT_EQ(nothingAsked.Capacity(), 4u);
    CRawBuffer copyBlock;
    copyBlock.Grow(524288);
    EXPECT_EQ(copyBlock.Capacity(), 524288u);
    EXPECT_NE(copyBlock.Data(), nullptr);
}

TEST(RawBuffer, CapacityThatWouldWrapAroundIsRefusedAndChangesNothing) {
    CRawBuffer buffer;
    FillNew(buffer, 100);
    BYTE* before = buffer.Data();
    EXPECT_EQ(ThrownText([&] { buffer.Grow(UINT32_MAX - 99); }), "Not enough memory");
    EXPECT_EQ(buffer.Capacity(), 100u);
    EXPECT_EQ(buffer.Data(), before);
    EXPECT_TRUE(HoldsCounting(buffer, 100));
}

TEST(RawBuffer, RefusedAllocationIsReportedAndChangesNothing) {
    CRawBuffer empty;
    EXPECT_EQ(ThrownText([&] { empty.Grow(UINT32_MAX - 15); }), "Not enough memory");
    EXPECT_EQ(empty.Capacity(), 0u);
    EXPECT_EQ(empty.Data(), nullptr);

    // Reaches exactly 2^32 - 1 bytes: no wrap, but no such block either.
    CRawBuffer full;
    FillNew(full, 100);
    EXPECT_EQ(ThrownText([&] { full.Grow(UINT32_MAX - 100); }), "Not enough memory");
    EXPECT_EQ(full.Capacity(), 100u);
    EXPECT_TRUE(HoldsCounting(full, 100));
}

}  // namespace
