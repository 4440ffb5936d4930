#include "common/OwningVector.h"
#include "common/StringBase.h"
#include "common/Vector.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "tests/common/Thrown.h"

namespace {

// The values of a vector of ints, for comparing in one line.
std::vector<int> Values(const CVector<int>& vector) {
    return std::vector<int>(vector.Items(), vector.Items() + vector.Size());
}

// A vector holding 0, 1, ..., count - 1.
void Fill(CVector<int>& vector, int count) {
    for (int i = 0; i < count; ++i)
        vector.Add(i);
}

TEST(VectorGrowth, AddingOneByOneFollowsTheGrowthSteps) {
    CVector<int> vector;
    EXPECT_EQ(vector.Capacity(), 0);
    EXPECT_EQ(vector.Items(), nullptr);
    std::vector<int> seen;
    for (int i = 0; i < 576; ++i) {
        EXPECT_EQ(vector.Add(i * 3), i);
        if (seen.empty() || vector.Capacity() != seen.back())
            seen.push_back(vector.Capacity());
    }
    const std::vector<int> expected{4, 8, 12, 28, 44, 60, 76, 114, 171, 256, 384, 576};
    EXPECT_EQ(seen, expected);
    for (int i = 0; i < 576; ++i)
        ASSERT_EQ(vector[i], i * 3);
}

TEST(VectorGrowth, StepsChangeAboveEightAndAboveSixtyFour) {
    const std::vector<std::pair<int, int>> grownFrom{{8, 12}, {9, 25}, {64, 80}, {65, 97}};
    for (const auto& step : grownFrom) {
        CVector<int> vector;
        vector.Reserve(step.first);
        Fill(vector, step.first + 1);
        EXPECT_EQ(vector.Capacity(), step.second) << "full at " << step.first;
    }
}

TEST(VectorGrowth, ReserveNeverShrinksAndChecksItsLimit) {
    CVector<int> vector;
    Fill(vector, 5);
    EXPECT_EQ(vector.Capacity(), 8);
    vector.Reserve(3);
    vector.Reserve(8);
    EXPECT_EQ(vector.Capacity(), 8);
    vector.Reserve(10);
    EXPECT_EQ(vector.Capacity(), 10);
    EXPECT_EQ(Values(vector), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(ThrownText([&] { vector.Reserve(kMaxArrayCapacity + 1); }),
              "Vector: Capacity error");
    EXPECT_EQ(vector.Capacity(), 10);
    EXPECT_EQ(Values(vector), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(VectorInsert, OpensAGapAnywhereUpToTheEnd) {
    CVector<int> vector;
    Fill(vector, 4);
    vector.Insert(0, 10);
    vector.Insert(2, 20);
    vector.Insert(vector.Size(), 30);
    EXPECT_EQ(Values(vector), (std::vector<int>{10, 0, 20, 1, 2, 3, 30}));

    EXPECT_EQ(ThrownText([&] { vector.Insert(vector.Size() + 1, 40); }), "Vector: Index Error");
    EXPECT_EQ(ThrownText([&] { vector.Insert(-1, 40); }), "Vector: Index Error");
    EXPECT_EQ(Values(vector), (std::vector<int>{10, 0, 20, 1, 2, 3, 30}));

    CVector<int> empty;
    empty.Insert(0, 7);
    EXPECT_EQ(Values(empty), (std::vector<int>{7}));
}

TEST(VectorDelete, CutsTheRangeToTheItemsThereAre) {
    CVector<int> vector;
    Fill(vector, 5);
    vector.Delete(2, 100);
    EXPECT_EQ(Values(vector), (std::vector<int>{0, 1}));

    Fill(vector, 3);
    vector.Delete(5, 3);
    vector.Delete(1, 0);
    EXPECT_EQ(Values(vector), (std::vector<int>{0, 1, 0, 1, 2}));
    vector.Delete(1, 2);
    EXPECT_EQ(Values(vector), (std::vector<int>{0, 1, 2}));
    vector.Delete(0, 0x7fffffff);
    EXPECT_EQ(vector.Size(), 0);
    EXPECT_EQ(vector.Capacity(), 8);
}

TEST(VectorDelete, RejectsBadRangesAndChangesNothing) {
    CVector<int> vector;
    Fill(vector, 5);
    EXPECT_EQ(ThrownText([&] { vector.Delete(6, 0); }), "Vector: Index Error");
    EXPECT_EQ(ThrownText([&] { vector.Delete(-1, 1); }), "Vector: Index Error");
    EXPECT_EQ(ThrownText([&] { vector.Delete(0, -1); }), "Vector: Size Error");
    EXPECT_EQ(ThrownText([&] { vector.DeleteFrom(6); }), "Vector: Index Error");
    EXPECT_EQ(Values(vector), (std::vector<int>{0, 1, 2, 3, 4}));

    vector.DeleteFrom(3);
    EXPECT_EQ(Values(vector), (std::vector<int>{0, 1, 2}));
    vector.Clear();
    EXPECT_EQ(vector.Size(), 0);
    EXPECT_NE(vector.Items(), nullptr);
}

TEST(VectorItems, AnItemOfTheVectorItselfCanBeAddedWhileItGrows) {
    CVector<int> vector;
    Fill(vector, 4);
    vector.Add(vector[3]);
    Fill(vector, 3);
    ASSERT_EQ(vector.Size(), vector.Capacity());
    vector.Insert(0, vector[7]);
    EXPECT_EQ(Values(vector), (std::vector<int>{2, 0, 1, 2, 3, 3, 0, 1, 2}));
}

// A host record by value: large, packed items are moved whole and read raw.
#pragma pack(push, 1)
struct Record {
    char name[260];
    unsigned int number;
    char padding[102];
};
#pragma pack(pop)
static_assert(sizeof(Record) == 366, "one record per panel item");

TEST(VectorItems, LargeRecordsAreStoredWholeAndReadableRaw) {
    CVector<Record> records;
    Record record = {};
    for (unsigned int i = 0; i < 30; ++i) {
        std::snprintf(record.name, sizeof record.name, "item %u", i);
        record.number = i;
        records.Add(record);
    }
    records.Delete(10, 5);
    const Record* raw = records.Items();
    ASSERT_EQ(records.Size(), 25);
    EXPECT_STREQ(raw[9].name, "item 9");
    EXPECT_STREQ(raw[10].name, "item 15");
    EXPECT_EQ(+raw[24].number, 29u);
}

// Counts the objects alive, so a test sees each one destroyed exactly once.
struct Counted {
    static int alive;
    static int made;
    explicit Counted(int value) : value(value) { ++alive, ++made; }
    Counted(const Counted& other) : value(other.value) { ++alive, ++made; }
    ~Counted() { --alive; }
    int value;
};
int Counted::alive = 0;
int Counted::made = 0;

class OwningVectorTest : public testing::Test {
protected:
    void SetUp() override { Counted::alive = Counted::made = 0; }
    void TearDown() override { EXPECT_EQ(Counted::alive, 0); }

    static std::vector<int> Values(const COwningVector<Counted>& vector) {
        std::vector<int> values;
        for (int i = 0; i < vector.Size(); ++i)
            values.push_back(vector[i]->value);
        return values;
    }
};

TEST_F(OwningVectorTest, StoresCopiesAndDestroysEachOnceOnDestruction) {
    {
        COwningVector<Counted> vector;
        Counted original(1);
        EXPECT_EQ(vector.AddCopy(original), 0);
        EXPECT_EQ(vector.AddCopy(Counted(2)), 1);
        vector.InsertCopy(0, Counted(0));
        EXPECT_NE(vector[1], &original);
        original.value = 9;
        EXPECT_EQ(Values(vector), (std::vector<int>{0, 1, 2}));
        EXPECT_EQ(Counted::alive, 4);
    }
    EXPECT_EQ(Counted::made, 6);
}

TEST_F(OwningVectorTest, DeleteDestroysExactlyTheObjectsOfTheCutRange) {
    COwningVector<Counted> vector;
    for (int i = 0; i < 6; ++i)
        vector.AddCopy(Counted(i));
    ASSERT_EQ(Counted::alive, 6);

    vector.Delete(4, 100);
    EXPECT_EQ(Counted::alive, 4);
    vector.Delete(1, 2);
    EXPECT_EQ(Counted::alive, 2);
    EXPECT_EQ(Values(vector), (std::vector<int>{0, 3}));

    EXPECT_EQ(ThrownText([&] { vector.Delete(0, -1); }), "Vector: Size Error");
    EXPECT_EQ(ThrownText([&] { vector.Delete(3, 0); }), "Vector: Index Error");
    EXPECT_EQ(Counted::alive, 2);
}

TEST_F(OwningVectorTest, ClearAndDeleteFromGoThroughTheOwningDelete) {
    COwningVector<Counted> vector;
    for (int i = 0; i < 10; ++i)
        vector.AddCopy(Counted(i));
    vector.DeleteFrom(7);
    EXPECT_EQ(Counted::alive, 7);

    CVectorBase& base = vector;
    base.Clear();
    EXPECT_EQ(Counted::alive, 0);
    EXPECT_EQ(vector.Size(), 0);
    EXPECT_EQ(vector.Capacity(), 12);

    vector.Add(nullptr);
    vector.Add(new Counted(5));
    vector.Clear();
    EXPECT_EQ(Counted::alive, 0);
}

TEST_F(OwningVectorTest, AFailedInsertLeavesNoCopyBehind) {
    COwningVector<Counted> vector;
    vector.AddCopy(Counted(0));
    EXPECT_EQ(ThrownText([&] { vector.InsertCopy(2, Counted(1)); }), "Vector: Index Error");
    EXPECT_EQ(Counted::alive, 1);
    EXPECT_EQ(vector.Size(), 1);
}

TEST(OwningStringVector, HoldsExactlySizedCopiesOfStrings) {
    COwningVector<CStringBase<char>> parts;
    CStringBase<char> part;
    part.Append("dir");
    ASSERT_EQ(part.Capacity(), 16);
    parts.AddCopy(part);
    parts.AddCopy(CStringBase<char>("out"));
    part.Append("ectory");
    EXPECT_EQ(parts[0]->Capacity(), 4);
    EXPECT_STREQ(parts[0]->Ptr(), "dir");
    EXPECT_STREQ(parts[1]->Ptr(), "out");
}

}  // namespace
