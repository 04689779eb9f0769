#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "board/board.h"
#include "search/history.h"
#include "search/move_picker.h"

namespace {


Move parse(const Board& board, const std::string& text) { return text.empty() ? NOMOVE : board.strToMove(text); }

std::string text(const Move& move) {
    std::ostringstream out;
    out << move;
    return out.str();
}

struct OrderCase {
    const char* name;
    const char* fen;
    const char* hashMove;
    const char* killer1;
    const char* killer2;
    std::vector<std::pair<const char*, int>> history;
    std::vector<std::string> expected;  // every move handed out, in order
};

class PickerOrderTest : public testing::TestWithParam<OrderCase> {};

TEST_P(PickerOrderTest, HandsOutMovesInKeyOrder) {
    const OrderCase& c = GetParam();
    Board board = Board(c.fen);
    HistoryTable history(board);
    history.clear();
    for (const auto& [move, value] : c.history) history.addScore(parse(board, move), value);
    const Move hashMove = parse(board, c.hashMove);
    const Move killer1 = parse(board, c.killer1);
    const Move killer2 = parse(board, c.killer2);
    PickerBuffers buffers;
    MovePicker picker(hashMove, killer1, killer2, history, board, buffers);

    std::vector<std::string> handedOut;
    for (Move move = picker.getNextMove(); move != NOMOVE; move = picker.getNextMove()) handedOut.push_back(text(move));
    EXPECT_EQ(handedOut, c.expected);
    EXPECT_EQ(picker.getNextMove(), NOMOVE);
    EXPECT_EQ(picker.getNextMove(), NOMOVE);
}

INSTANTIATE_TEST_SUITE_P(
    PickerTest, PickerOrderTest,
    testing::Values(
        OrderCase{"HashMoveThenKillersThenHistory",
                  START_FEN,
                  "g1f3",
                  "b1c3",
                  "e2e4",
                  {{"d2d4", 50}, {"a2a3", -10}},
                  {"g1f3", "b1c3", "e2e4", "d2d4", "a2a4", "b2b4", "b2b3", "c2c4", "c2c3", "d2d3", "e2e3", "f2f4",
                   "f2f3", "g2g4", "g2g3", "h2h4", "h2h3", "b1a3", "g1h3", "a2a3"}},
        OrderCase{"HashMoveNotPseudoLegalIsNeverHandedOut",
                  START_FEN,
                  "e7e5",
                  "",
                  "",
                  {},
                  {"a2a4", "a2a3", "b2b4", "b2b3", "c2c4", "c2c3", "d2d4", "d2d3", "e2e4", "e2e3", "f2f4", "f2f3",
                   "g2g4", "g2g3", "h2h4", "h2h3", "b1a3", "b1c3", "g1f3", "g1h3"}},
        OrderCase{"CapturesByVictimThenAttacker",
                  "4k3/8/8/2r1q3/3P4/5N2/8/7K w - - 0 1",
                  "",
                  "",
                  "",
                  {},
                  {"d4e5", "f3e5", "d4c5", "d4d5", "f3g5", "f3h4", "f3d2", "f3h2", "f3e1", "f3g1", "h1g2", "h1h2",
                   "h1g1"}},
        OrderCase{"PromotionsRankAboveKillersAndCapturesThatPromoteAboveAll",
                  "r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1",
                  "",
                  "e1f1",
                  "e1d1",
                  {{"e1e2", 1900}},
                  {"b7a8q", "b7a8r", "b7a8b", "b7a8n", "b7b8q", "b7b8r", "b7b8b", "b7b8n", "e1f1", "e1d1", "e1e2",
                   "e1d2", "e1f2"}},
        OrderCase{"EnPassantRanksAsPawnTakesPawn",
                  "4k3/8/5n2/3pP3/8/8/8/4K3 w - d6 0 1",
                  "",
                  "",
                  "",
                  {},
                  {"e5f6", "e5d6", "e5e6", "e1d2", "e1e2", "e1f2", "e1d1", "e1f1"}}),
    [](const testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

TEST(PickerTest, OrderingKeysFollowTheValueBands) {
    Board board = Board("r3k3/1P6/8/8/2p5/1P6/8/4K3 w - - 0 1");
    HistoryTable history(board);
    history.clear();
    history.addScore(parse(board, "e1e2"), -40);
    PickerBuffers buffers;
    MovePicker picker(parse(board, "b3b4"), parse(board, "e1f1"), parse(board, "e1d1"), history, board, buffers);
    ASSERT_EQ(text(picker.getNextMove()), "b3b4");  // the hash move, before any generation
    ASSERT_EQ(text(picker.getNextMove()), "b7a8q");

    const std::vector<std::pair<std::string, int>> expected = {
        {"b7a8q", 1'000'000 + 100 * 256 - 20 + 195 + 990'000},
        {"b7a8r", 1'000'000 + 100 * 256 - 20 + 100 + 990'000},
        {"b7a8n", 1'000'000 + 100 * 256 - 20 + 65 + 990'000},
        {"b3c4", 1'000'000 + 20 * 256 - 20},
        {"b7b8b", 67 + 990'000},
        {"e1f1", 970'000},
        {"e1d1", 960'000},
        {"e1e2", -40},
        {"e1f2", 0},
    };
    for (const auto& [move, key] : expected) {
        bool found = false;
        for (const auto& [scoredMove, scoredKey] : buffers.scored) {
            if (text(scoredMove) != move) continue;
            found = true;
            EXPECT_EQ(scoredKey, key) << move;
        }
        EXPECT_TRUE(found) << move;
    }
    for (const auto& [scoredMove, key] : buffers.scored) EXPECT_NE(text(scoredMove), "b3b4");
}

TEST(PickerTest, PenaltyLowersQuietMovesHandedOutOtherThanTheBest) {
    Board board = Board("4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1");
    HistoryTable history(board);
    history.clear();
    PickerBuffers buffers;
    // The hash move belongs to black and is not pseudo-legal here; it is
    // penalised all the same, in the slot of the piece on its from-square.
    const Move hashMove = parse(board, "d5d4");
    MovePicker picker(hashMove, NOMOVE, NOMOVE, history, board, buffers);
    ASSERT_EQ(text(picker.getNextMove()), "e4d5");
    ASSERT_EQ(text(picker.getNextMove()), "e4e5");
    const Move best = picker.getNextMove();
    ASSERT_EQ(text(best), "e1d2");

    picker.penalizeHist(best, 3);
    EXPECT_EQ(history.getScore(parse(board, "e4e5")), -9);
    EXPECT_EQ(history.getScore(best), 0);
    EXPECT_EQ(history.getScore(parse(board, "e1e2")), 0);  // never handed out
    EXPECT_EQ(history.getScore(parse(board, "e4d5")), 0);  // a capture
    EXPECT_EQ(history.getScore(hashMove), -9);
}

TEST(PickerTest, PenaltyAfterAHashMoveCutOffTouchesOnlyTheHashMove) {
    Board board = Board(START_FEN);
    HistoryTable history(board);
    history.clear();
    PickerBuffers buffers;
    const Move hashMove = parse(board, "g1f3");
    {
        MovePicker picker(hashMove, NOMOVE, NOMOVE, history, board, buffers);
        ASSERT_EQ(picker.getNextMove(), hashMove);
        picker.penalizeHist(hashMove, 4);
        EXPECT_EQ(history.getScore(hashMove), 0);
    }
    MovePicker picker(hashMove, NOMOVE, NOMOVE, history, board, buffers);
    ASSERT_EQ(picker.getNextMove(), hashMove);
    picker.penalizeHist(parse(board, "e2e4"), 4);
    EXPECT_EQ(history.getScore(hashMove), -16);
    for (const Move& move : board.getAllMoves()) {
        if (move != hashMove) {
            EXPECT_EQ(history.getScore(move), 0) << move;
        }
    }
}

TEST(PickerTest, PenaltyLeavesAHashMoveFromAnEmptySquareAlone) {
    Board board = Board(START_FEN);
    HistoryTable history(board);
    history.clear();
    PickerBuffers buffers;
    MovePicker picker(Move{68, 52, 0, 0x10}, NOMOVE, NOMOVE, history, board, buffers);  // e4e5
    const Move first = picker.getNextMove();
    picker.penalizeHist(first, 2);
    for (const Move& move : board.getAllMoves()) EXPECT_EQ(history.getScore(move), 0) << move;
}

}  // namespace
