// Random legal games from the start position and the perft-suite positions:
// the board's invariants hold after every move, every take-back restores the
// position exactly, and the board's check, mate and draw answers agree with
// rules worked out here the slow way.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "board/epd.h"
#include "tests/board_checks.h"

namespace {

// Whether a piece of the side not to move could take the king of the side to
// move, from the rules of movement on rows and files.
bool kingAttacked(const Board& board) {
    const int us = board.getTurn(), king = board.kingSquare(us);
    for (int from = 0; from < 128; ++from) {
        const int rows = rowOf(king) - rowOf(from), files = fileOf(king) - fileOf(from), type = board.pieceAt(from);
        const int r = std::abs(rows), f = std::abs(files),
                  step = ((rows > 0) - (rows < 0)) * 16 + (files > 0) - (files < 0);
        bool reaches = board.colorAt(from) == (us ^ 1) &&
                       (type == PAWN     ? f == 1 && rows == (us == WHITE ? 1 : -1)
                        : type == KNIGHT ? r * f == 2
                        : type == KING   ? std::max(r, f) == 1
                                         : (type != BISHOP && (r == 0 || f == 0)) || (type != ROOK && r == f));
        for (int between = from + step; reaches && type >= BISHOP && type <= QUEEN && between != king; between += step)
            reaches = board.colorAt(between) == EMPTY;
        if (reaches) return true;
    }
    return false;
}

// The FEN with its fifty-move count replaced.
std::string withClock(const std::string& fen, int fifty) {
    return fen.substr(0, fen.rfind(' ', fen.rfind(' ') - 1)) + " " + std::to_string(fifty) + " 1";
}

TEST(RandomGames, TakeBacksRestoreAndAnswersAgreeWithSlowRules) {
    std::vector<std::string> starts{START_FEN};
    for (const SuitePosition& position : readSuite(MARROWBY_TEST_DATA "/perftsuite.epd"))
        starts.push_back(position.fen);
    std::mt19937 random(14);
    // 2000 games of up to 40 plies; clocks of 0 to 99 bring the fifty-move rule near.
    for (int game = 0; game < 2000; ++game) {
        Board board = boardFromFen(withClock(starts[game % starts.size()], game % 100)).value();
        std::vector<BoardState> states{boardState(board)};
        states.reserve(41);
        for (int fifty = board.getFiftyCount(); states.size() <= 40;) {
            ASSERT_EQ(boardProblem(board), "") << board.toFen();
            const auto repeats =
                std::count_if(states.begin(), states.end(), [&](auto& s) { return s[0] == states.back()[0]; });
            const bool drawn = fifty >= 100 || repeats >= 3;
            // Where a rule draws, the generator gives nothing: the moves are
            // counted on the same position without history or clock.
            auto fresh = drawn ? boardFromFen(withClock(board.toFen(), 0)) : std::nullopt;
            ASSERT_TRUE(fresh || !drawn) << board.toFen();
            const MoveList legal = legalMoves(fresh ? *fresh : board);
            ASSERT_TRUE(boardState(board) == states.back()) << board.toFen();
            const bool check = kingAttacked(board);
            ASSERT_EQ(board.inCheck(board.getTurn()), check) << board.toFen();
            ASSERT_EQ(board.isDraw(), drawn) << board.toFen();
            ASSERT_EQ(board.isGameOver(), drawn || legal.empty()) << board.toFen();
            ASSERT_EQ(board.isCheckmate(), check && legal.empty()) << board.toFen();
            if (drawn || legal.empty()) break;
            const Move move = legal[random() % legal.size()];
            fifty = board.pieceAt(move.from) == PAWN || board.colorAt(move.to) != EMPTY ? 0 : fifty + 1;
            ASSERT_TRUE(board.executeMove(move)) << board.toFen() << " " << move;
            states.push_back(boardState(board));
        }
        for (states.pop_back(); !states.empty(); states.pop_back()) {
            board.undoMove();
            ASSERT_TRUE(boardState(board) == states.back()) << board.toFen();
        }
    }
}

}  // namespace
