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

TEST(RawBuffer, StepBoundaries) {
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
    };
    for (const Case& c : cases) {
        CRawBuffer buffer;
        buffer.Grow(c.start);
        ASSERT_EQ(buffer.Capacity(), c.start);
        buffer.Grow(c.extra);
        EXPECT_EQ(buffer.Capacity(), c.expected) << "from " << c.start << " by " << c.extra;
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

// Copies from and to the page cache run fastest from a page boundary.
TEST(RawBuffer, LargeBlocksStartOnAPage) {
    struct Case {
        uint32_t start, extra;
        bool pageAligned;
    } cases[] = {
        {65535, 0, false},  // below the bound: as malloc gives it
        {65536, 0, true},
        {524288, 0, true},
        {100, 65436, true},  // grown past the bound, contents moved along
    };
    for (const Case& c : cases) {
        CRawBuffer buffer;
        FillNew(buffer, c.start);
        if (c.extra != 0)
            buffer.Grow(c.extra);
        EXPECT_TRUE(HoldsCounting(buffer, c.start)) << c.start << " + " << c.extra;
        std::memset(buffer.Data() + c.start, 0xAB, buffer.Capacity() - c.start);
        if (c.pageAligned) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.Data()) % 4096, 0u) << c.start;
        }
    }
}

TEST(RawBuffer, GrowingKeepsTheContents) {
    CRawBuffer buffer;
    FillNew(buffer, 100);
    buffer.Grow(1000);
    EXPECT_EQ(buffer.Capacity(), 1100u);
    EXPECT_TRUE(HoldsCounting(buffer, 100));
    // The new room is usable to its end.
    std::memset(buffer.Data() + 100, 0xAB, 1000);
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
