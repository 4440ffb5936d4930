#include "common/StringBase.h"
#include "common/Vector.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/common/AddressSpaceLimitSupport.h"
#include "tests/common/Thrown.h"

namespace {

// What `operation` throws while the process may map only 64 MiB more than it
// has now, so that a big allocation is refused for real.
template <typename Operation>
std::string ThrownUnderAddressLimit(Operation operation) {
    AddressSpaceLimit limit(64u << 20);
    if (!limit.Failure().empty())
        return limit.Failure();
    return ThrownText(operation);
}

TEST(OutOfMemory, AStringKeepsItsTextWhenTheAllocatorRefuses) {
    CStringBase<char> narrow("kept");
    EXPECT_EQ(ThrownUnderAddressLimit([&] { narrow.Reserve(kMaxArrayCapacity); }),
              "Not enough memory");
    EXPECT_EQ(narrow.Capacity(), 5);
    narrow.Append(" and grown");
    EXPECT_STREQ(narrow.Ptr(), "kept and grown");

    CWideString wide(u"kept");
    EXPECT_EQ(ThrownUnderAddressLimit([&] { wide.Reserve(kMaxArrayCapacity); }),
              "Not enough memory");
    EXPECT_EQ(wide.Capacity(), 5);
    EXPECT_TRUE(wide == u"kept");
}

TEST(OutOfMemory, AVectorKeepsItsItemsWhenTheAllocatorRefuses) {
    CVector<int> vector;
    vector.Add(7);
    EXPECT_EQ(ThrownUnderAddressLimit([&] { vector.Reserve(kMaxArrayCapacity); }),
              "Not enough memory");
    EXPECT_EQ(vector.Capacity(), 4);
    ASSERT_EQ(vector.Size(), 1);
    EXPECT_EQ(vector[0], 7);
}

struct Record {
    char bytes[366];
};

TEST(OutOfMemory, AByteCountBeyondTheAddressSpaceIsRefusedBeforeAllocating) {
    // This many records need just over 4 GiB: on a 32-bit system the product
    // wraps around to a few hundred bytes.
    const int wrapping = static_cast<int>((UINT64_C(1) << 32) / sizeof(Record) + 1);
    ASSERT_LT(static_cast<uint32_t>(static_cast<uint64_t>(wrapping) * sizeof(Record)), 1024u);

    CVector<Record> records;
    EXPECT_EQ(ThrownText([&] { records.Reserve(wrapping); }), "Not enough memory");
    EXPECT_EQ(ThrownText([&] { records.Reserve(kMaxArrayCapacity); }), "Not enough memory");
    EXPECT_EQ(records.Capacity(), 0);
    EXPECT_EQ(records.Items(), nullptr);
}

}  // namespace
