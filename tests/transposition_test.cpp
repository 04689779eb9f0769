#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "search/transposition.h"

namespace {

constexpr Move E2E4{100, 68, 0, 0x18};
constexpr Move G1F3{118, 85, 0, 0x00};

TEST(TTableTest, EmptyAndClearedTablesMissEverywhere) {
    TTable table;
    // Key 0 finds the zero key of an empty slot, which still reads as a miss.
    for (const std::int64_t key : {std::int64_t{0}, std::int64_t{0x123456789abcdef}, std::int64_t{-5}})
        EXPECT_EQ(table.probe(key, 0).flag, 0) << key;

    table.save(1, E2E4, EXACT, 1, 5, 0);
    table.save(1 + TTable::TT_SIZE, G1F3, EXACT, 1, 5, 0);
    table.save(2, G1F3, EXACT, 1, 5, 0);
    table.clear();
    EXPECT_EQ(table.getEntries(), 0);
    EXPECT_EQ(table.getCollisions(), 0);
    EXPECT_EQ(table.probe(1 + TTable::TT_SIZE, 0).flag, 0);
    EXPECT_EQ(table.probe(2, 0).flag, 0);
}

// Each save goes into one table in turn; after it the saved key probes back
// its fields and the other key of the same slot misses.
TEST(TTableTest, EverySaveReplacesItsSlotAndCountsNewEntriesAndCollisions) {
    // The two keys differ only above bit 22, so they address the same slot.
    constexpr std::int64_t FIRST = 0x12345;
    constexpr std::int64_t SECOND = FIRST | (std::int64_t{1} << 40);
    constexpr std::int64_t SLOT_ZERO = TTable::TT_SIZE;
    const struct {
        const char* name;
        std::int64_t key, otherKeyOfSlot;
        Move move;
        std::int8_t flag;
        int depth, score;
        std::int64_t entries, collisions;
    } steps[] = {
        {"first save", FIRST, SECOND, E2E4, LOWERBOUND, 7, -123, 1, 0},
        {"same key overwrites without counting", FIRST, SECOND, G1F3, UPPERBOUND, 5, -20, 1, 0},
        {"another key in the slot collides", SECOND, FIRST, E2E4, EXACT, 4, 11, 1, 1},
        // Key 0 matches the zero key of an empty slot; the slot still counts as new.
        {"key 0 into an empty slot", 0, SLOT_ZERO, G1F3, EXACT, 1, 0, 2, 1},
        {"another key displaces key 0", SLOT_ZERO, 0, E2E4, EXACT, 2, 5, 2, 2},
    };
    TTable table;
    for (const auto& s : steps) {
        table.save(s.key, s.move, s.flag, s.depth, s.score, 3);
        const TTEntry e = table.probe(s.key, 5);
        EXPECT_EQ(std::tuple(e.key, e.move, int{e.flag}, int{e.depth}, int{e.score}),
                  std::tuple(s.key, s.move, int{s.flag}, s.depth, s.score))
            << s.name;
        EXPECT_EQ(table.probe(s.otherKeyOfSlot, 0).flag, 0) << s.name;
        EXPECT_EQ(table.getEntries(), s.entries) << s.name;
        EXPECT_EQ(table.getCollisions(), s.collisions) << s.name;
    }
}

TEST(TTableTest, MateScoresAreStoredRelativeToTheNode) {
    const struct {
        int score, savePly, probePly, expected;
    } cases[] = {
        {31872, 4, 2, 31872}, {-31872, 4, 2, -31872},  // below the mate threshold
        {31873, 4, 0, 31877}, {-31873, 4, 0, -31877},  // as stored
        {31873, 0, 2, 31871}, {-31873, 0, 2, -31871},  // the threshold itself is a mate score
        {31873, 4, 2, 31875}, {-31873, 4, 2, -31875}, {31990, 5, 3, 31992}, {-31990, 5, 3, -31992},
        {31999, 0, 1, 31998}, {-31999, 1, 1, -31999}, {0, 9, 0, 0},         {1500, 0, 30, 1500},
    };
    TTable table;
    for (const auto& c : cases) {
        table.save(99, E2E4, EXACT, 2, c.score, c.savePly);
        EXPECT_EQ(table.probe(99, c.probePly).score, c.expected)
            << c.score << " saved at ply " << c.savePly << ", probed at ply " << c.probePly;
    }
}

}  // namespace
