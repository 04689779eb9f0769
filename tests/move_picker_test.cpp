#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "search/history.h"
#include "search/move_picker.h"
#include "tests/board_test_util.h"

namespace {

Move parse(const Board& board, const std::string& text) { return text.empty() ? NOMOVE : board.strToMove(text); }

TEST(PickerTest, HandsOutMovesInKeyOrder) {
    const struct {
        const char *name, *fen, *hashMove, *killer1, *killer2;
        std::vector<std::pair<const char*, int>> history;
        PickerScope scope;
        const char* expected;  // every move handed out, in order
    } cases[] = {
        {"hash move, killers, then quiet moves by history, ties by from- then to-square",
         START_FEN, "g1f3", "b1c3", "e2e4", {{"d2d4", 50}, {"a2a3", -10}}, PickerScope::ALL_MOVES,
         "g1f3 b1c3 e2e4 d2d4 a2a4 b2b4 b2b3 c2c4 c2c3 d2d3 e2e3 f2f4 f2f3 g2g4 g2g3 h2h4 h2h3 b1a3 g1h3 a2a3"},
        {"a hash move that is not pseudo-legal is never handed out",
         START_FEN, "e7e5", "", "", {}, PickerScope::ALL_MOVES,
         "a2a4 a2a3 b2b4 b2b3 c2c4 c2c3 d2d4 d2d3 e2e4 e2e3 f2f4 f2f3 g2g4 g2g3 h2h4 h2h3 b1a3 b1c3 g1f3 g1h3"},
        {"captures by victim, then attacker", "4k3/8/8/2r1q3/3P4/5N2/8/7K w - - 0 1", "", "", "", {},
         PickerScope::ALL_MOVES, "d4e5 f3e5 d4c5 d4d5 f3g5 f3h4 f3d2 f3h2 f3e1 f3g1 h1g2 h1h2 h1g1"},
        {"captures and promotions only", "4k3/1P6/8/2r1q3/3P4/5N2/8/7K w - - 0 1", "", "", "", {},
         PickerScope::CAPTURES_AND_PROMOTIONS, "d4e5 f3e5 d4c5 b7b8q b7b8r b7b8b b7b8n"},
    };
    for (const auto& c : cases) {
        Board board(c.fen);
        HistoryTable history(board);
        for (const auto& [move, value] : c.history) history.addScore(parse(board, move), value);
        PickerBuffers buffers;
        MovePicker picker(parse(board, c.hashMove), parse(board, c.killer1), parse(board, c.killer2), history, board,
                          buffers, c.scope);
        MoveList handedOut;
        for (Move move = picker.getNextMove(); move != NOMOVE; move = picker.getNextMove()) handedOut.push_back(move);
        EXPECT_EQ(listText(handedOut), c.expected) << c.name;
        EXPECT_EQ(picker.getNextMove(), NOMOVE) << c.name;
        EXPECT_EQ(picker.getNextMove(), NOMOVE) << c.name;
    }
}

TEST(PickerTest, OrderingKeysFollowTheValueBands) {
    Board board("r3k3/1P6/8/2pP4/2p5/1P6/8/4K3 w - c6 0 1");
    HistoryTable history(board);
    history.addScore(parse(board, "e1e2"), -40);
    PickerBuffers buffers;
    MovePicker picker(parse(board, "b3b4"), parse(board, "e1f1"), parse(board, "e1d1"), history, board, buffers);
    ASSERT_EQ(moveText(picker.getNextMove()), "b3b4");  // the hash move, before any generation
    ASSERT_EQ(moveText(picker.getNextMove()), "b7a8q");

    // A capture is 1,000,000 + 256 * victim - attacker (pawn 20, knight 65,
    // bishop 67, rook 100, queen 195); a promotion adds 990,000 + the new
    // piece. The hash move is not among the scored moves.
    const std::map<std::string, int> expected = {
        {"b7a8q", 2'015'775}, {"b7a8r", 2'015'680}, {"b7a8b", 2'015'647}, {"b7a8n", 2'015'645},
        {"b7b8q", 990'195},   {"b7b8r", 990'100},   {"b7b8b", 990'067},   {"b7b8n", 990'065},
        {"b3c4", 1'005'100},  {"d5c6", 1'005'100},  // en passant takes a pawn the target square does not hold
        {"e1f1", 970'000},    {"e1d1", 960'000},    {"e1e2", -40},        {"e1d2", 0},
        {"e1f2", 0},          {"d5d6", 0},
    };
    std::map<std::string, int> keys;
    for (const auto& [move, key] : buffers.scored) keys[moveText(move)] = key;
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(buffers.scored.size(), expected.size());
}

// Each case hands out some moves, then penalises with the given best move;
// the listed moves hold the given values and every other move of the side to
// move is still 0.
TEST(PickerTest, PenaltyLowersQuietMovesHandedOutOtherThanTheBest) {
    const struct {
        const char *name, *fen, *hashMove;
        int handedOut;  // moves taken from the picker before the penalty
        const char* best;
        int depth;
        std::map<std::string, int> expected;
    } cases[] = {
        // The hash move belongs to black and is not pseudo-legal here; it is
        // penalised all the same, in the slot of the piece on its from-square.
        // e4d5 is a capture and e1e2 was never handed out.
        {"quiet moves tried before the best", "4k3/8/8/3p4/4P3/8/8/4K3 w - - 0 1", "d5d4", 3, "e1d2", 3,
         {{"e4e5", -9}, {"d5d4", -9}}},
        {"cut-off by the hash move", START_FEN, "g1f3", 1, "g1f3", 4, {}},
        {"only the hash move handed out, another best", START_FEN, "g1f3", 1, "e2e4", 4, {{"g1f3", -16}}},
        // A hash move from an empty square has no history slot in this position.
        {"hash move from an empty square", START_FEN, "e4e5", 1, "a2a4", 2, {}},
    };
    for (const auto& c : cases) {
        Board board(c.fen);
        HistoryTable history(board);
        PickerBuffers buffers;
        MovePicker picker(parse(board, c.hashMove), NOMOVE, NOMOVE, history, board, buffers);
        for (int i = 0; i < c.handedOut; ++i) ASSERT_NE(picker.getNextMove(), NOMOVE) << c.name;
        picker.penalizeHist(parse(board, c.best), c.depth);
        for (const auto& [move, value] : c.expected) EXPECT_EQ(history.getScore(parse(board, move)), value) << c.name;
        for (const Move& move : board.getAllMoves()) {
            const auto listed = c.expected.find(moveText(move));
            const int value = listed == c.expected.end() ? 0 : listed->second;
            EXPECT_EQ(history.getScore(move), value) << c.name << ": " << move;
        }
    }
}

}  // namespace
