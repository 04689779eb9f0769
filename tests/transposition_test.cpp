#include <gtest/gtest.h>

#include <cstdint>

#include "search/transposition.h"

namespace {

constexpr Move E2E4{100, 68, 0, 0x18};
constexpr Move G1F3{118, 85, 0, 0x00};

bool isEmpty(const TTEntry& entry) {
    return entry.key == 0 && entry.move == NOMOVE && entry.flag == 0 && entry.depth == 0 && entry.score == 0;
}

TEST(TTableTest, FreshTableMissesEverywhere) {
    const TTable table;
    for (const std::int64_t key : {std::int64_t{0}, std::int64_t{1}, std::int64_t{0x123456789abcdef}, std::int64_t{-5}})
        EXPECT_TRUE(isEmpty(table.probe(key, 0))) << key;
    EXPECT_EQ(table.getEntries(), 0);
    EXPECT_EQ(table.getCollisions(), 0);
}

TEST(TTableTest, SaveThenProbeReturnsTheFields) {
    TTable table;
    const std::int64_t key = 0x0123456789abcdefLL;
    table.save(key, E2E4, LOWERBOUND, 7, -123, 3);
    const TTEntry entry = table.probe(key, 5);
    EXPECT_EQ(entry.key, key);
    EXPECT_EQ(entry.move, E2E4);
    EXPECT_EQ(entry.flag, LOWERBOUND);
    EXPECT_EQ(entry.depth, 7);
    EXPECT_EQ(entry.score, -123);
    EXPECT_EQ(table.getEntries(), 1);
    EXPECT_EQ(table.getCollisions(), 0);
}

TEST(TTableTest, SavingTheSameKeyAgainOverwritesWithoutCounting) {
    TTable table;
    table.save(42, E2E4, EXACT, 3, 10, 0);
    table.save(42, G1F3, UPPERBOUND, 5, -20, 0);
    const TTEntry entry = table.probe(42, 0);
    EXPECT_EQ(entry.move, G1F3);
    EXPECT_EQ(entry.flag, UPPERBOUND);
    EXPECT_EQ(entry.depth, 5);
    EXPECT_EQ(entry.score, -20);
    EXPECT_EQ(table.getEntries(), 1);
    EXPECT_EQ(table.getCollisions(), 0);
}

TEST(TTableTest, KeysSharingASlotDisplaceEachOther) {
    TTable table;
    // The two keys differ only above bit 22, so they address the same slot.
    const std::int64_t first = 0x12345;
    const std::int64_t second = first | (std::int64_t{1} << 40);
    table.save(first, E2E4, EXACT, 3, 10, 0);
    EXPECT_EQ(table.probe(second, 0).flag, 0);

    table.save(second, G1F3, EXACT, 4, 11, 0);
    EXPECT_EQ(table.getCollisions(), 1);
    EXPECT_EQ(table.getEntries(), 1);
    EXPECT_TRUE(isEmpty(table.probe(first, 0)));
    EXPECT_EQ(table.probe(second, 0).move, G1F3);
}

TEST(TTableTest, EverySaveIntoAnEmptySlotCountsAnEntry) {
    TTable table;
    // Key 0 matches the zero key of an empty slot; the slot still counts as new.
    table.save(0, E2E4, EXACT, 1, 0, 0);
    table.save(7, E2E4, EXACT, 1, 0, 0);
    EXPECT_EQ(table.getEntries(), 2);
    EXPECT_EQ(table.getCollisions(), 0);
}

struct MateCase {
    int score;
    int savePly;
    int probePly;
    int expected;
};

class TTableMateScoreTest : public testing::TestWithParam<MateCase> {};

TEST_P(TTableMateScoreTest, MateScoresAreStoredRelativeToTheNode) {
    const MateCase& c = GetParam();
    TTable table;
    table.save(99, E2E4, EXACT, 2, c.score, c.savePly);
    EXPECT_EQ(table.probe(99, c.probePly).score, c.expected);
}

INSTANTIATE_TEST_SUITE_P(TTableTest, TTableMateScoreTest,
                         testing::Values(MateCase{31872, 4, 2, 31872}, MateCase{-31872, 4, 2, -31872},
                                         MateCase{31873, 4, 2, 31875}, MateCase{-31873, 4, 2, -31875},
                                         MateCase{31990, 5, 3, 31992}, MateCase{-31990, 5, 3, -31992},
                                         MateCase{31999, 0, 1, 31998}, MateCase{-31999, 1, 1, -31999},
                                         MateCase{0, 9, 0, 0}, MateCase{1500, 0, 30, 1500}));

TEST(TTableTest, ClearEmptiesEverySlotAndZeroesTheCounters) {
    TTable table;
    table.save(1, E2E4, EXACT, 1, 5, 0);
    table.save(1 + TTable::TT_SIZE, G1F3, EXACT, 1, 5, 0);
    table.save(2, G1F3, EXACT, 1, 5, 0);
    ASSERT_EQ(table.getEntries(), 2);
    ASSERT_EQ(table.getCollisions(), 1);

    table.clear();
    EXPECT_EQ(table.getEntries(), 0);
    EXPECT_EQ(table.getCollisions(), 0);
    EXPECT_EQ(table.probe(1 + TTable::TT_SIZE, 0).flag, 0);
    EXPECT_EQ(table.probe(2, 0).flag, 0);
}

}  // namespace
