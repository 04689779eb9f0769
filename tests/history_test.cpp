#include <gtest/gtest.h>

#include <sstream>

#include "board/board.h"
#include "search/history.h"
#include "search/killers.h"

namespace {

TEST(HistoryTableTest, ValuesBelongToTheSideToMoveAndTheMovingPiece) {
    Board board(START_FEN);
    HistoryTable history(board);
    const Move knightMove = board.strToMove("g1f3");
    history.addScore(knightMove, 25);
    EXPECT_EQ(history.getScore(knightMove), 25);
    // Another piece type arriving on the same square has its own value.
    EXPECT_EQ(history.getScore(board.strToMove("e2f3")), 0);

    // With black to move the same move text reads black's table.
    ASSERT_TRUE(board.executeMove(board.strToMove("e2e4")));
    EXPECT_EQ(history.getScore(Move{118, 85, 0, 0}), 0);
}

// The cases share one table, so each also checks that clear zeroes it.
TEST(HistoryTableTest, ReachingTheLimitHalvesTheWholeTableOncePerAddition) {
    const struct {
        const char* name;
        int otherStart, firstDelta, secondDelta, expectedUpdated, expectedOther;
    } cases[] = {
        {"just below the limit", 7, 1999, 0, 1999, 7},
        {"reaching +2000", 7, 1999, 1, 1000, 3},
        {"reaching -2000", -7, -1000, -1000, -1000, -3},
        {"one halving per call", 7, 0, 5000, 2500, 3},
        {"the next addition halves again", 7, 5000, 10, 1255, 1},
    };
    Board board(START_FEN);
    HistoryTable history(board);
    const Move updated = board.strToMove("b1c3");
    const Move other = board.strToMove("d2d4");
    for (const auto& c : cases) {
        history.clear();
        history.addScore(other, c.otherStart);
        history.addScore(updated, c.firstDelta);
        history.addScore(updated, c.secondDelta);
        EXPECT_EQ(history.getScore(updated), c.expectedUpdated) << c.name;
        EXPECT_EQ(history.getScore(other), c.expectedOther) << c.name;
    }
}

constexpr Move A{100, 68, 0, 0x18};  // e2e4
constexpr Move B{118, 85, 0, 0};     // g1f3
constexpr Move C{113, 82, 0, 0};     // b1c3

// One table through inserts, printing and clearing.
TEST(KillerTableTest, InsertKeepsTheTwoMostRecentDistinctMovesPrintAndClear) {
    const struct {
        Move inserted, first, second;
    } steps[] = {
        {A, A, NOMOVE},  // first killer of the ply
        {A, A, NOMOVE},  // the first killer again changes nothing
        {B, B, A},       // the old first becomes second
        {A, A, B},       // the second killer swaps with the first
        {C, C, A},       // a third move drops the old second
    };
    KillerTable killers;
    killers.clear();
    for (const auto& step : steps) {
        killers.insert(step.inserted, 5);
        EXPECT_EQ(killers.get1(5), step.first) << step.inserted;
        EXPECT_EQ(killers.get2(5), step.second) << step.inserted;
    }

    // Printing stops at the first ply without killers: ply 0 here, ply 2 below.
    std::ostringstream out;
    killers.print(out);
    EXPECT_EQ(out.str(), "");
    killers.insert(A, 0);
    killers.insert(B, 0);
    killers.insert(C, 1);
    killers.print(out);
    EXPECT_EQ(out.str(), "0: g1f3 e2e4\n1: b1c3 \n");

    killers.insert(B, MAX_PLY - 1);
    killers.clear();
    for (int ply = 0; ply < MAX_PLY; ++ply) {
        EXPECT_TRUE(killers.get1(ply) == NOMOVE && killers.get2(ply) == NOMOVE) << ply;
    }
}

}  // namespace
