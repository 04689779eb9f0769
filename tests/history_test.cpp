#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "board/board.h"
#include "search/history.h"
#include "search/killers.h"

namespace {


Move parse(const Board& board, const std::string& text) { return board.strToMove(text); }

TEST(HistoryTableTest, ValuesBelongToTheSideToMoveAndTheMovingPiece) {
    Board board = Board(START_FEN);
    HistoryTable history(board);
    const Move knightMove = parse(board, "g1f3");
    history.addScore(knightMove, 25);
    EXPECT_EQ(history.getScore(knightMove), 25);
    // Another piece type arriving on the same square has its own value.
    EXPECT_EQ(history.getScore(parse(board, "e2f3")), 0);

    // With black to move the same move text reads black's table.
    ASSERT_TRUE(board.executeMove(parse(board, "e2e4")));
    EXPECT_EQ(history.getScore(Move{118, 85, 0, 0}), 0);

    history.clear();
    board.undoMove();
    EXPECT_EQ(history.getScore(knightMove), 0);
}

struct HalvingCase {
    const char* name;
    int firstDelta;
    int secondDelta;
    int expectedUpdated;
    int expectedOther;  // started at 7 or -7 before the additions
    int otherStart;
};

class HistoryHalvingTest : public testing::TestWithParam<HalvingCase> {};

TEST_P(HistoryHalvingTest, ReachingTheLimitHalvesTheWholeTableOnce) {
    const HalvingCase& c = GetParam();
    Board board = Board(START_FEN);
    HistoryTable history(board);
    const Move updated = parse(board, "b1c3");
    const Move other = parse(board, "d2d4");
    history.addScore(other, c.otherStart);
    history.addScore(updated, c.firstDelta);
    history.addScore(updated, c.secondDelta);
    EXPECT_EQ(history.getScore(updated), c.expectedUpdated);
    EXPECT_EQ(history.getScore(other), c.expectedOther);
}

INSTANTIATE_TEST_SUITE_P(HistoryTableTest, HistoryHalvingTest,
                         testing::Values(HalvingCase{"JustBelowTheLimit", 1999, 0, 1999, 7, 7},
                                         HalvingCase{"ReachingPlus2000", 1999, 1, 1000, 3, 7},
                                         HalvingCase{"ReachingMinus2000", -1000, -1000, -1000, -3, -7},
                                         HalvingCase{"OneHalvingPerCall", 0, 5000, 2500, 3, 7},
                                         HalvingCase{"NextAdditionHalvesAgain", 5000, 10, 1255, 1, 7}),
                         [](const testing::TestParamInfo<HalvingCase>& info) { return std::string(info.param.name); });

constexpr Move A{100, 68, 0, 0x18};
constexpr Move B{118, 85, 0, 0};
constexpr Move C{113, 82, 0, 0};

TEST(KillerTableTest, ClearEmptiesEveryPly) {
    KillerTable killers;
    killers.insert(A, 0);
    killers.insert(B, MAX_PLY - 1);
    killers.clear();
    for (int ply = 0; ply < MAX_PLY; ++ply) {
        EXPECT_EQ(killers.get1(ply), NOMOVE);
        EXPECT_EQ(killers.get2(ply), NOMOVE);
    }
}

TEST(KillerTableTest, InsertKeepsTheTwoMostRecentDistinctMoves) {
    struct Step {
        Move inserted;
        Move first;
        Move second;
    };
    const Step steps[] = {
        {A, A, NOMOVE},  // first killer of the ply
        {A, A, NOMOVE},  // the first killer again changes nothing
        {B, B, A},       // the old first becomes second
        {A, A, B},       // the second killer swaps with the first
        {C, C, A},       // a third move drops the old second
    };
    KillerTable killers;
    killers.clear();
    for (const Step& step : steps) {
        killers.insert(step.inserted, 5);
        EXPECT_EQ(killers.get1(5), step.first);
        EXPECT_EQ(killers.get2(5), step.second);
    }
    EXPECT_EQ(killers.get1(4), NOMOVE);
    EXPECT_EQ(killers.get1(6), NOMOVE);
}

TEST(KillerTableTest, PrintStopsAtTheFirstPlyWithoutKillers) {
    KillerTable killers;
    killers.clear();
    std::ostringstream empty;
    killers.print(empty);
    EXPECT_EQ(empty.str(), "");

    killers.insert(A, 0);
    killers.insert(B, 0);
    killers.insert(C, 1);
    killers.insert(A, 3);
    std::ostringstream out;
    killers.print(out);
    EXPECT_EQ(out.str(), "0: g1f3 e2e4\n1: b1c3 \n");
}

}  // namespace
