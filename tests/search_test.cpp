#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "board/epd.h"
#include "console/ai_player.h"
#include "eval/evaluator.h"
#include "search/search.h"

namespace {

constexpr const char* MIDDLEGAME = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

// Fixed-depth searches from an emptied table. The total node count is the
// search's signature: any change to a pruning or reduction rule, to move
// ordering or to the evaluator moves it.
TEST(Search, SignatureOfFixedDepthSearches) {
    const std::pair<const char*, int> cases[] = {
        {START_FEN, 6},
        {MIDDLEGAME, 5},
        {"r1bq1rk1/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQ1RK1 w - - 2 6", 6},
        {"2r3k1/p4p2/3Rp2p/1p2P1pK/8/1P4P1/P3Q2P/1q6 b - - 0 1", 6},
        {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 9},
        {"8/pp3k2/2p5/3p1p2/3P1P2/2P5/PP3K2/8 w - - 0 35", 10},
    };
    Board board;
    std::ostringstream out;
    Search search(board, out);
    std::int64_t total = 0;
    for (const auto& [fen, depth] : cases) {
        board = Board(fen);
        search.clear();
        search.stop = false;
        search.iterativeDeepening(board.getTurn(), SearchLimits::toDepth(depth));
        total += search.getNodes();
    }
    EXPECT_EQ(total, 138981);
}

// The pickers rank their moves from the squares the pieces reach; in every
// suite position and after every move from it they must hand out each move
// the generator offers, captures and promotions before any quiet move.
TEST(Search, PickersHandOutTheGeneratedMoves) {
    const auto sorted = [](std::vector<Move> moves) {
        std::sort(moves.begin(), moves.end(), [](const Move& a, const Move& b) {
            return std::tie(a.from, a.to, a.promotion, a.flags) < std::tie(b.from, b.to, b.promotion, b.flags);
        });
        return moves;
    };
    const auto handedOut = [](const Board& board, PickerScope scope) {
        HistoryTable history(board);
        PickerBuffers buffers;
        MovePicker picker(NOMOVE, NOMOVE, NOMOVE, history, board, buffers, scope);
        std::vector<Move> moves;
        for (Move move = picker.getNextMove(); move != NOMOVE; move = picker.getNextMove()) {
            EXPECT_TRUE(moves.empty() || !moves.back().isQuiet() || move.isQuiet()) << board.toFen();
            moves.push_back(move);
        }
        return moves;
    };
    const auto generated = [](const Board& board, bool capturesOnly) {
        MoveList list;
        capturesOnly ? board.genCaptures(list) : board.gen(list);
        return std::vector<Move>(list.begin(), list.end());
    };
    for (const char* file : {"/perftsuite.epd", "/perft-edge.epd"})
        for (const SuitePosition& position : readSuite(std::string(MARROWBY_TEST_DATA) + file)) {
            Board board(position.fen);
            for (const Move& move : board.getAllMoves()) {
                if (!board.executeMove(move)) continue;
                if (!board.isDraw()) {
                    EXPECT_EQ(sorted(handedOut(board, PickerScope::ALL_MOVES)), sorted(generated(board, false)))
                        << board.toFen();
                    EXPECT_EQ(sorted(handedOut(board, PickerScope::CAPTURES_AND_PROMOTIONS)),
                              sorted(generated(board, true)))
                        << board.toFen();
                }
                board.undoMove();
            }
        }
}

// The statistics of two searches, each printed, printed again once reset,
// and after the table is emptied.
TEST(Search, DiagnosticsReport) {
    Board board;
    std::ostringstream out;
    Search search(board, out);
    std::string reports;
    const auto report = [&] {
        out.str("");
        search.diagnostics();
        reports += out.str();
    };
    for (const auto& [fen, depth] : {std::pair{"k7/8/2K5/8/8/8/8/7R w - - 0 1", 2}, {MIDDLEGAME, 5}}) {
        board = Board(fen);
        search.stop = false;
        search.iterativeDeepening(board.getTurn(), SearchLimits::toDepth(depth));
        report();
    }
    report();
    search.clear();
    report();
    std::ifstream file(MARROWBY_TEST_DATA "/diagnostics_report.txt");
    const std::string expected((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(reports, expected);
}

// The per-ply tables end at the last ply, which answers with the static score.
TEST(Search, LastPlyAnswersWithTheStaticScore) {
    Board board(MIDDLEGAME);
    std::ostringstream out;
    Search search(board, out);
    const int rating = Evaluator(board).getRating(WHITE);
    EXPECT_EQ(search.pvs(5, MAX_PLY - 1, -32768, 32767, WHITE, true), rating);
    EXPECT_EQ(search.getNodes(), 0);
    EXPECT_EQ(search.quiesce(MAX_PLY - 1, -32768, 32767, WHITE), rating);
    EXPECT_EQ(search.getNodes(), 1);
}

TEST(Search, ComputerPlayerSearchesItsPosition) {
    Board board("6k1/5ppp/8/8/8/8/8/3R2K1 w - - 0 1");
    AIPlayer player(WHITE, board, 3);
    testing::internal::CaptureStdout();
    const Move move = player.getAMove();
    const std::string output = testing::internal::GetCapturedStdout();
    std::ostringstream text;
    text << move;
    EXPECT_EQ(text.str(), "d1d8");
    EXPECT_NE(output.find("score mate 1 "), std::string::npos) << output;
}

}  // namespace
