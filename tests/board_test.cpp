#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "board/epd.h"
#include "board/line_reach.h"
#include "board/perft.h"
#include "tests/board_checks.h"

namespace {

// The deepest count a suite position is walked to in the unit tests; the
// perft_suite tool walks the whole suites.
std::uint64_t suiteLimit() {
    const char* limit = std::getenv("MARROWBY_PERFT_LIMIT");
    return limit != nullptr ? std::strtoull(limit, nullptr, 10) : 1'500'000;
}

std::vector<SuitePosition> suite(const std::string& file) {
    return readSuite(std::string(MARROWBY_TEST_DATA) + "/" + file);
}

TEST(Board, PerftSuiteCounts) {
    for (const char* file : {"perftsuite.epd", "perft-edge.epd"}) {
        const auto positions = suite(file);
        ASSERT_FALSE(positions.empty()) << file;
        for (const SuitePosition& position : positions) {
            Board board;
            ASSERT_EQ(board.setFen(position.fen), "") << position.fen;
            int depth = 0;
            for (const auto& [d, count] : position.counts)
                if (count <= suiteLimit()) depth = std::max(depth, d);
            const auto key = board.getZobristKey();
            Perft walk(board, depth);
            walk.perft(0);
            for (const auto& [d, count] : position.counts)
                if (d <= depth) {
                    EXPECT_EQ(walk.nodesAt(d), count) << position.fen << " depth " << d;
                }
            EXPECT_EQ(board.getZobristKey(), key) << position.fen;
        }
    }
}

std::vector<std::string> texts(const MoveList& moves) {
    std::vector<std::string> result;
    for (const Move& move : moves) {
        std::ostringstream text;
        text << move;
        result.push_back(text.str());
    }
    return result;
}

// The board's invariants (boardProblem) checked at every node of a walk and
// after every take-back; besides, the capture generator hands out the captures
// and promotions of the full generator in its order, and (where asked)
// moveIsPseudo accepts exactly the move texts the generator produces.
class BoardWalk {
public:
    BoardWalk(Board& board, int textCheckDepth) : board(board), textCheckDepth(textCheckDepth) {}

    void walk(int depth) {
        expectConsistent(depth);
        if (depth == 0 || ::testing::Test::HasFailure()) return;
        for (const Move& move : board.getAllMoves()) {
            if (!board.executeMove(move)) continue;
            walk(depth - 1);
            board.undoMove();
            ASSERT_EQ(boardProblem(board), "");
        }
    }

private:
    void expectConsistent(int depth) {
        ASSERT_EQ(boardProblem(board), "");
        const MoveList all = board.getAllMoves();
        MoveList expected, captures;
        std::copy_if(all.begin(), all.end(), std::back_inserter(expected), [](const Move& m) { return !m.isQuiet(); });
        board.genCaptures(captures);
        ASSERT_EQ(texts(captures), texts(expected)) << board.getZobristKey();
        if (depth >= textCheckDepth) {
            std::vector<std::string> generated = texts(all);
            std::sort(generated.begin(), generated.end());
            ASSERT_EQ(acceptedTexts(), generated) << board.getZobristKey();
        }
    }

    std::vector<std::string> acceptedTexts() const {
        std::vector<std::string> accepted;
        for (char fromFile = 'a'; fromFile <= 'h'; ++fromFile)
            for (char fromRank = '1'; fromRank <= '8'; ++fromRank)
                for (char toFile = 'a'; toFile <= 'h'; ++toFile)
                    for (char toRank = '1'; toRank <= '8'; ++toRank)
                        for (const char* suffix : {"", "n", "b", "r", "q"}) {
                            const std::string text = std::string{fromFile, fromRank, toFile, toRank} + suffix;
                            if (board.moveIsPseudo(board.strToMove(text))) accepted.push_back(text);
                        }
        std::sort(accepted.begin(), accepted.end());
        return accepted;
    }

    Board& board;
    int textCheckDepth;
};

TEST(Board, InvariantsHoldThroughoutAWalk) {
    for (const auto& positions : {suite("perftsuite.epd"), suite("perft-edge.epd")}) {
        for (const SuitePosition& position : positions) {
            Board board(position.fen);
            BoardWalk(board, 1).walk(1);
        }
    }
    for (const char* fen : {
             "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
             "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
             "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
             "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
         }) {
        Board board(fen);
        BoardWalk(board, 1).walk(2);
    }
}

void makeEveryMove(Board& board, int depth) {
    if (depth == 0) return;
    for (const Move& move : board.getAllMoves())
        if (board.executeMove(move)) {
            makeEveryMove(board, depth - 1);
            board.undoMove();
        }
}

// Perft counts its last ply without making the moves, yet leaves the piece
// lists, whose order is the order of generation, in the order the walk that
// makes and takes back every move leaves them.
TEST(Board, PerftLeavesPieceListsAsTheWalkThatMakesEveryMove) {
    for (const auto& positions : {suite("perftsuite.epd"), suite("perft-edge.epd")}) {
        for (const SuitePosition& position : positions) {
            for (const int depth : {1, 2, 3}) {
                Board counted(position.fen), walked(position.fen);
                Perft(counted, depth).perft(0);
                makeEveryMove(walked, depth);
                for (const int color : {WHITE, BLACK})
                    for (int type = PAWN; type <= KING; ++type) {
                        const PieceList &a = counted.pieces(color, type), &b = walked.pieces(color, type);
                        ASSERT_TRUE(std::equal(a.squares, a.squares + 16, b.squares, b.squares + 16))
                            << position.fen << " depth " << depth << " colour " << color << " type " << type;
                    }
            }
        }
    }
}

// A game far longer than any search: the undo records find room however the
// moves come (the search asks whether the side to move is in check before it
// moves, so that the common move is played at once), a copy of the board
// plays on alone, and every take-back restores the position.
TEST(Board, LongGamesTakeBackToTheStart) {
    Board board;
    const BoardState start = boardState(board);
    const char* const shuffle[] = {"g1f3", "g8f6", "f3g1", "f6g8"};
    constexpr int PLIES = 3000;
    std::vector<BoardState> states{start};
    std::optional<Board> copy;
    for (int ply = 0; ply < PLIES; ++ply) {
        if (ply % 1000 < 500) static_cast<void>(board.sideToMoveInCheck());
        ASSERT_TRUE(board.executeMove(board.strToMove(shuffle[ply % 4]))) << ply;
        ASSERT_EQ(boardProblem(board), "") << ply;
        states.push_back(boardState(board));
        if (ply == PLIES / 2) copy = board;
    }
    EXPECT_TRUE(board.isDraw());
    // The copy has the history of the game up to its move.
    for (int ply = PLIES / 2 + 1; ply < PLIES; ++ply) {
        ASSERT_TRUE(copy->executeMove(copy->strToMove(shuffle[ply % 4]))) << ply;
        ASSERT_TRUE(boardState(*copy) == states[ply + 1]) << ply;
    }
    for (states.pop_back(); !states.empty(); states.pop_back()) {
        board.undoMove();
        ASSERT_TRUE(boardState(board) == states.back()) << states.size();
        copy->undoMove();
        ASSERT_TRUE(boardState(*copy) == states.back()) << states.size();
    }
    EXPECT_TRUE(boardState(board) == start);
}

// Table moves come from the generator in whatever position stored them, so
// after a key collision a move of another position is offered: it must be
// accepted exactly when the generator produces it here.
TEST(Board, MovesOfOtherPositionsAreCheckedExactly) {
    std::vector<Board> boards;
    for (const char* file : {"perftsuite.epd", "perft-edge.epd"})
        for (const SuitePosition& position : suite(file)) boards.emplace_back(position.fen);
    const auto code = [](const Move& m) { return (m.from << 24) | (m.to << 16) | (m.promotion << 8) | m.flags; };
    std::vector<int> seen;
    std::vector<Move> pool;
    for (const Board& board : boards)
        for (const Move& move : board.getAllMoves())
            if (std::find(seen.begin(), seen.end(), code(move)) == seen.end()) {
                seen.push_back(code(move));
                pool.push_back(move);
            }
    for (const Board& board : boards) {
        const MoveList generated = board.getAllMoves();
        for (const Move& move : pool) {
            const bool produced = std::find(generated.begin(), generated.end(), move) != generated.end();
            ASSERT_EQ(board.moveIsPseudo(move), produced) << board.getZobristKey() << " " << move;
        }
    }
}

// The reach of bishops and rooks, found square by square along each step, for
// every square and occupancies from empty to dense.
TEST(Board, SlidersReachUpToTheFirstOccupiedSquare) {
    const auto stepwise = [](int bit, SquareSet occupied, int type) {
        SquareSet reach = 0;
        for (int d = 0; d < PIECE_STEP_COUNT[type]; ++d)
            for (int to = squareOfBit(bit) + PIECE_STEPS[type][d]; onBoard(to); to += PIECE_STEPS[type][d]) {
                reach |= bitOf(to);
                if ((occupied & bitOf(to)) != 0) break;
            }
        return reach;
    };
    std::uint64_t state = 0x9e3779b97f4a7c15;
    const auto random = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (int trial = 0; trial < 2000; ++trial) {
        // One, two or three random sets and-ed together: dense to sparse.
        SquareSet occupied = random();
        for (int thinning = 0; thinning < trial % 3; ++thinning) occupied &= random();
        for (int bit = 0; bit < 64; ++bit) {
            ASSERT_EQ(bishopReach(bit, occupied), stepwise(bit, occupied, BISHOP)) << bit << " " << occupied;
            ASSERT_EQ(rookReach(bit, occupied), stepwise(bit, occupied, ROOK)) << bit << " " << occupied;
        }
    }
}

TEST(Board, MoveTextForm) {
    for (const char* text : {"e2e4", "a1h8", "e7e8q", "a2a1n", "h7h8b", "b2b1r"}) EXPECT_TRUE(isMoveText(text)) << text;
    for (const char* text : {"", "e2e", "e2e4q1", "e2e4k", "e0e4", "e2e9", "i2e4", "e2j4", "E2e4", "e2E4", "aHa1"})
        EXPECT_FALSE(isMoveText(text)) << text;
}

// Which quiet moves a lone piece of each type can make on an empty board.
TEST(Board, AttackTables) {
    std::ostringstream out;
    for (int piece = PAWN; piece <= KING; ++piece) Board::genAttackTable(piece, out);
    std::ifstream file(MARROWBY_TEST_DATA "/attack_tables.txt");
    const std::string expected((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(out.str(), expected);
}

}  // namespace
