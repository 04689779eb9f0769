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
// the generator offers, captures and promotions before any quiet move, and
// those in the order of their keys: a plain sort of the generator's moves by
// the most valuable victim (en passant takes a pawn), the least valuable
// attacker, the lower from-square and the lower to-square, promotions by
// capture above all other captures, promotions onto an empty square below
// them, the dearer piece first. A capture as hash move comes out first, the
// others in their order.
TEST(Search, PickersHandOutTheGeneratedMoves) {
    const auto sorted = [](std::vector<Move> moves) {
        std::sort(moves.begin(), moves.end(), [](const Move& a, const Move& b) {
            return std::tie(a.from, a.to, a.promotion, a.flags) < std::tie(b.from, b.to, b.promotion, b.flags);
        });
        return moves;
    };
    const auto ordered = [](const Board& board, const Move& hash) {
        constexpr int VALUE[6] = {20, 65, 67, 100, 195, 256};
        const auto key = [&](const Move& move) {
            const int victim = move.has(ENPASSANT) ? PAWN : board.pieceAt(move.to);
            const int capture =
                move.has(CAPTURE) ? VALUE[victim] * 256 + 1'000'000 - VALUE[board.pieceAt(move.from)] : 0;
            return move.has(PROMOTION) ? capture + VALUE[move.promotion] + 990'000 : capture;
        };
        MoveList list;
        board.genCaptures(list);
        std::vector<Move> moves(list.begin(), list.end());
        std::sort(moves.begin(), moves.end(), [&](const Move& a, const Move& b) {
            return std::tuple(-key(a), a.from, a.to) < std::tuple(-key(b), b.from, b.to);
        });
        if (std::erase(moves, hash) != 0) moves.insert(moves.begin(), hash);
        return moves;
    };
    const auto handedOut = [](const Board& board, const Move& hash) {
        HistoryTable history(board);
        PickerBuffers buffers;
        MovePicker picker(hash, NOMOVE, NOMOVE, history, board, buffers);
        std::vector<Move> moves;
        for (Move move = picker.getNextMove(); move != NOMOVE; move = picker.getNextMove()) {
            EXPECT_TRUE(moves.empty() || !moves.back().isQuiet() || move.isQuiet()) << board.toFen();
            moves.push_back(move);
        }
        return moves;
    };
    const auto capturesOf = [](std::vector<Move> moves) {
        moves.erase(std::find_if(moves.begin(), moves.end(), [](const Move& move) { return move.isQuiet(); }),
                    moves.end());
        return moves;
    };
    const auto capturesHandedOut = [](const Board& board) {
        PickerBuffers buffers;
        std::vector<Move> moves;
        for (CapturePicker picker(board, buffers); !picker.empty();) moves.push_back(picker.pickNext());
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
                    const std::vector<Move> all = handedOut(board, NOMOVE);
                    EXPECT_EQ(sorted(all), sorted(generated(board, false))) << board.toFen();
                    EXPECT_EQ(sorted(capturesHandedOut(board)), sorted(generated(board, true))) << board.toFen();
                    const std::vector<Move> captures = ordered(board, NOMOVE);
                    EXPECT_EQ(capturesOf(all), captures) << board.toFen();
                    EXPECT_EQ(capturesHandedOut(board), captures) << board.toFen();
                    for (const Move& hash : captures)
                        EXPECT_EQ(capturesOf(handedOut(board, hash)), ordered(board, hash)) << board.toFen();
                }
                board.undoMove();
            }
        }
}

// A node that skips its quiet moves penalizes them as if it had handed each
// one out: the same moves in the same order, which matters once a penalty
// halves the table. Each position's quiet moves start near the history limit.
TEST(Search, SkippedQuietMovesArePenalizedAsHandedOut) {
    constexpr int DEPTH = 20;
    const auto sameValues = [](const HistoryTable& a, const HistoryTable& b) {
        for (const int color : {WHITE, BLACK})
            for (int piece = PAWN; piece <= KING; ++piece)
                if (!std::equal(std::begin(a.scoresOf(color)[piece]), std::end(a.scoresOf(color)[piece]),
                                std::begin(b.scoresOf(color)[piece])))
                    return false;
        return true;
    };
    for (const SuitePosition& position : readSuite(std::string(MARROWBY_TEST_DATA) + "/perftsuite.epd")) {
        const Board board(position.fen);
        HistoryTable history(board);
        int step = 0;
        for (const Move& move : board.getAllMoves())
            if (move.isQuiet()) history.addScore(move, (step++ % 2 == 0 ? 1 : -1) * (HistoryTable::HISTORY_LIMIT - 50));
        HistoryTable handedOut = history;
        HistoryTable skipped = history;
        PickerBuffers allBuffers, skippedBuffers;
        MovePicker all(NOMOVE, NOMOVE, NOMOVE, handedOut, board, allBuffers);
        MovePicker skipping(NOMOVE, NOMOVE, NOMOVE, skipped, board, skippedBuffers);
        while (all.getNextMove() != NOMOVE) {}
        while (!skipping.onlyQuietsLeft()) static_cast<void>(skipping.getNextMove());
        skipping.skipQuiets();
        skipping.rankPendingQuiets();
        all.penalizeHist(NOMOVE, DEPTH);
        skipping.penalizeHist(NOMOVE, DEPTH);
        EXPECT_TRUE(sameValues(handedOut, skipped)) << position.fen;
        EXPECT_FALSE(sameValues(handedOut, history)) << position.fen;
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
