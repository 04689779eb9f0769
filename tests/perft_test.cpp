#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <cstdlib>
#include <sstream>

#include "console/perft.h"
#include "tests/board_test_util.h"
#include "tests/perft_suite_file.h"

namespace {

// The deepest count a suite position is walked to in the unit tests; the
// perft_suite tool walks the whole suites.
std::uint64_t suiteLimit() {
    const char* limit = std::getenv("MARROWBY_PERFT_LIMIT");
    return limit != nullptr ? std::strtoull(limit, nullptr, 10) : 1'500'000;
}

void expectSuiteCounts(const std::string& file) {
    const auto positions = readSuite(std::string(MARROWBY_TEST_DATA) + "/" + file);
    ASSERT_FALSE(positions.empty());
    for (const SuitePosition& position : positions) {
        ASSERT_EQ(Board::fenProblem(position.fen), "") << position.fen;
        int depth = 0;
        for (const auto& [d, count] : position.counts)
            if (count <= suiteLimit()) depth = std::max(depth, d);
        Board board = Board(position.fen);
        const auto key = board.getZobristKey();
        Perft walk(board, depth);
        walk.perft(0);
        for (const auto& [d, count] : position.counts)
            if (d <= depth) {
                EXPECT_EQ(walk.nodesAt(d), count) << position.fen << " depth " << d;
            }
        EXPECT_EQ(board.getZobristKey(), key);
    }
}

TEST(PerftSuite, StandardPositions) { expectSuiteCounts("perftsuite.epd"); }

TEST(PerftSuite, EdgePositions) { expectSuiteCounts("perft-edge.epd"); }

TEST(Perft, CastlesAndPassantsPerPly) {
    const struct {
        const char* fen;
        int depth;
        std::vector<std::uint64_t> nodes, castles, passants;
    } cases[] = {
        {START_FEN, 4, {1, 20, 400, 8902, 197281}, {0, 0, 0, 0, 0}, {0, 0, 0, 0, 0}},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, {1, 48, 2039, 97862},
         {0, 2, 91, 3162}, {0, 0, 1, 45}},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, {1, 14, 191, 2812, 43238}, {0, 0, 0, 0, 0},
         {0, 0, 0, 2, 123}},
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, {1, 6, 264, 9467}, {0, 0, 6, 0},
         {0, 0, 0, 4}},
    };
    for (const auto& c : cases) {
        Board board = Board(c.fen);
        Perft walk(board, c.depth);
        walk.perft(0);
        for (int ply = 0; ply <= c.depth; ++ply) {
            EXPECT_EQ(walk.nodesAt(ply), c.nodes[ply]) << c.fen << " ply " << ply;
            EXPECT_EQ(walk.castlesAt(ply), c.castles[ply]) << c.fen << " ply " << ply;
            EXPECT_EQ(walk.passantsAt(ply), c.passants[ply]) << c.fen << " ply " << ply;
        }
    }
}

// Walks the tree and checks after every make and unmake that the key equals
// the key composed from scratch and that the piece lists match the squares.
class ConsistencyWalk {
public:
    explicit ConsistencyWalk(Board& board) : board(board) {}

    void walk(int depth) {
        expectConsistent();
        if (depth == 0 || ::testing::Test::HasFailure()) return;
        for (const Move& move : board.getAllMoves()) {
            if (!board.executeMove(move)) continue;
            walk(depth - 1);
            board.undoMove();
            expectConsistent();
        }
    }

private:
    void expectConsistent() {
        ASSERT_EQ(board.getZobristKey(), board.computeKey());
        int listed = 0;
        for (int color : {WHITE, BLACK}) {
            for (int type = PAWN; type <= KING; ++type) {
                const PL& list = board.pieces(color, type);
                for (int i = 0; i < list.count; ++i) {
                    ASSERT_EQ(board.colorAt(list.squares[i]), color);
                    ASSERT_EQ(board.pieceAt(list.squares[i]), type);
                }
                for (int i = list.count; i < 16; ++i) ASSERT_EQ(list.squares[i], NO_SQUARE);
                listed += list.count;
            }
        }
        int occupied = 0;
        for (int square = 0; square < 128; ++square) {
            ASSERT_EQ(board.colorAt(square) == EMPTY, board.pieceAt(square) == EMPTY);
            occupied += board.colorAt(square) != EMPTY;
        }
        ASSERT_EQ(listed, occupied);
    }

    Board& board;
};

TEST(Perft, KeysAndListsStayConsistent) {
    for (const auto& [fen, depth] : std::vector<std::pair<const char*, int>>{
             {START_FEN, 3},
             {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3},
             {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4},
             {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3},
             {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3},
         }) {
        Board board = Board(fen);
        ConsistencyWalk(board).walk(depth);
    }
}

TEST(Perft, Report) {
    Board board;
    Perft walk(board, 2);
    walk.perft(0);
    std::ostringstream out;
    walk.diagnostics(out);
    EXPECT_EQ(out.str(),
              "Ply 0: 1 Nodes (0 Castles, 0 Passants)\n"
              "Ply 1: 20 Nodes (0 Castles, 0 Passants)\n"
              "Ply 2: 400 Nodes (0 Castles, 0 Passants)\n"
              "\n");

    Board mated = Board("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1");
    Perft none(mated, 3);
    none.perft(0);
    std::ostringstream short_report;
    none.diagnostics(short_report);
    EXPECT_EQ(short_report.str(), "Ply 0: 1 Nodes (0 Castles, 0 Passants)\n\n");
}

}  // namespace

namespace {

// The capture generator hands out exactly the captures and promotions of the
// full generator, in the same order, in every position of a short walk.
void expectCapturesMatch(Board& board, int depth) {
    const MoveList all = board.getAllMoves();
    MoveList expected, captures;
    std::copy_if(all.begin(), all.end(), std::back_inserter(expected), [](const Move& m) { return !m.isQuiet(); });
    board.genCaptures(captures);
    ASSERT_EQ(listText(captures), listText(expected)) << board.getZobristKey();
    if (depth == 0) return;
    for (const Move& move : all) {
        if (!board.executeMove(move)) continue;
        expectCapturesMatch(board, depth - 1);
        board.undoMove();
    }
}

TEST(Perft, CaptureGeneratorMatchesFullGenerator) {
    for (const SuitePosition& position : readSuite(std::string(MARROWBY_TEST_DATA) + "/perftsuite.epd")) {
        Board board(position.fen);
        expectCapturesMatch(board, 1);
    }
}

}  // namespace
