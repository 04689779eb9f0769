#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "eval/evaluator.h"
#include "search/search.h"

namespace {

// A board, a search over it and the search's info lines.
struct Fixture {
    Board board;
    std::ostringstream out;
    std::unique_ptr<Search> search;

    explicit Fixture(const char* fen, const std::vector<const char*>& moves = {}, int maxDepth = 64) {
        board.clear();
        board.fromFEN(fen);
        for (const char* move : moves) EXPECT_TRUE(board.executeMove(board.strToMove(move))) << move;
        search = std::make_unique<Search>(board, maxDepth, out);
    }

    // Iterations up to depth, as "go depth" asks for them.
    void searchToDepth(int depth) {
        out.str("");
        search->stop = false;
        search->iterativeDeepening(board.getTurn(), -depth);
    }

    [[nodiscard]] std::vector<std::string> lines() const {
        std::vector<std::string> result;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) result.push_back(line);
        return result;
    }

    [[nodiscard]] std::string field(const std::string& line, const std::string& name) const {
        std::smatch match;
        const std::regex pattern(" " + name + " (cp -?[0-9]+|mate -?[0-9]+|[0-9]+)");
        return std::regex_search(line, match, pattern) ? match[1].str() : "";
    }
};

std::string text(const Move& move) {
    std::ostringstream out;
    out << move;
    return out.str();
}

constexpr const char* SCHOLARS_MATE = "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4";
constexpr const char* MIDDLEGAME = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

struct MateCase {
    const char* name;
    const char* fen;
    int depth;
    const char* score;
    const char* bestMove;
};

class SearchMateTest : public testing::TestWithParam<MateCase> {};

TEST_P(SearchMateTest, ReportsTheMateDistance) {
    const MateCase& c = GetParam();
    Fixture f(c.fen);
    f.searchToDepth(c.depth);
    const std::vector<std::string> lines = f.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(f.field(lines.back(), "depth"), std::to_string(c.depth));
    EXPECT_EQ(f.field(lines.back(), "score"), c.score) << lines.back();
    EXPECT_EQ(text(f.search->bestMove), c.bestMove);
}

INSTANTIATE_TEST_SUITE_P(
    SearchTest, SearchMateTest,
    testing::Values(MateCase{"QueenTakesF7", SCHOLARS_MATE, 2, "mate 1", "h5f7"},
                    MateCase{"BackRank", "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1", 2, "mate 1", "a1a8"},
                    MateCase{"KingAndRookInTwo", "k7/8/2K5/8/8/8/8/7R w - - 0 1", 4, "mate 2", "c6c7"},
                    MateCase{"QueenHuntsTheKingInThree", "2r3k1/p4p2/3Rp2p/1p2P1pK/8/1P4P1/P3Q2P/1q6 b - - 0 1", 6,
                             "mate 3", "b1g6"},
                    MateCase{"MatedInOne", "7k/8/6K1/8/8/8/8/R7 b - - 0 1", 3, "mate -1", "h8g8"}),
    [](const testing::TestParamInfo<MateCase>& info) { return std::string(info.param.name); });

struct DrawCase {
    const char* name;
    const char* fen;
    std::vector<const char*> moves;
    int depth;
    const char* bestMove;
};

class SearchDrawTest : public testing::TestWithParam<DrawCase> {};

TEST_P(SearchDrawTest, DrawsByRuleScoreZero) {
    const DrawCase& c = GetParam();
    Fixture f(c.fen, c.moves);
    f.searchToDepth(c.depth);
    const std::vector<std::string> lines = f.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(f.field(lines.back(), "score"), "cp 0") << lines.back();
    if (c.bestMove[0] != '\0') {
        EXPECT_EQ(text(f.search->bestMove), c.bestMove);
    }
}

INSTANTIATE_TEST_SUITE_P(
    SearchTest, SearchDrawTest,
    testing::Values(
        // Every move, the mate a1a8 included, makes the hundredth quiet half-move.
        DrawCase{"FiftyMoveRuleOutranksMate", "7k/8/6K1/8/8/8/8/R7 w - - 99 80", {}, 3, ""},
        // Down a queen, black repeats the start position a third time.
        DrawCase{"RepetitionSavesTheLosingSide",
                 "7k/8/8/8/8/8/8/KQ6 w - - 0 1",
                 {"b1b2", "h8g8", "b2b1", "g8h8", "b1b2", "h8g8", "b2b1"},
                 3,
                 "g8h8"}),
    [](const testing::TestParamInfo<DrawCase>& info) { return std::string(info.param.name); });

struct SilentRootCase {
    const char* name;
    const char* fen;
    std::vector<const char*> moves;
};

class SearchSilentRootTest : public testing::TestWithParam<SilentRootCase> {};

TEST_P(SearchSilentRootTest, ReportsNothingAndNoMove) {
    const SilentRootCase& c = GetParam();
    Fixture f(c.fen, c.moves);
    f.searchToDepth(3);
    EXPECT_EQ(f.out.str(), "");
    EXPECT_EQ(f.search->bestMove, NOMOVE);
    EXPECT_EQ(f.search->ponderMove, NOMOVE);
    EXPECT_TRUE(f.search->stop);
}

INSTANTIATE_TEST_SUITE_P(
    SearchTest, SearchSilentRootTest,
    testing::Values(SilentRootCase{"FiftyMoveRule", "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 100 80", {}},
                    SilentRootCase{"ThirdRepetition",
                                   START_FEN,
                                   {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"}},
                    SilentRootCase{"Checkmated", START_FEN, {"f2f3", "e7e5", "g2g4", "d8h4"}},
                    SilentRootCase{"Stalemated", "k7/8/1QK5/8/8/8/8/8 b - - 0 1", {}}),
    [](const testing::TestParamInfo<SilentRootCase>& info) { return std::string(info.param.name); });

TEST(SearchTest, TerminalNodesScoreMateByPlyOrZero) {
    Fixture mated(START_FEN, {"f2f3", "e7e5", "g2g4", "d8h4"});
    EXPECT_EQ(mated.search->pvs(1, 0, 32767, -32768, WHITE, true), -MATE);
    // In check at the horizon the node is extended and searched, not stood pat.
    EXPECT_EQ(mated.search->pvs(0, 3, 32767, -32768, WHITE, true), -(MATE - 3));

    Fixture stalemated("k7/8/1QK5/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(stalemated.search->pvs(2, 4, 32767, -32768, BLACK, true), 0);
}

TEST(SearchTest, MateDistancePruningReturnsAtOnce) {
    Fixture f(MIDDLEGAME);
    // No mate from ply 5 can score above 31994, so alpha 31996 already holds.
    EXPECT_EQ(f.search->pvs(3, 5, 32767, 31996, WHITE, true), 31996);
    EXPECT_EQ(f.search->getNodes(), 0);
}

TEST(SearchTest, LastPlyAnswersWithTheStaticScore) {
    Fixture f(MIDDLEGAME);
    Evaluator evaluator(f.board);
    const int rating = evaluator.getRating(WHITE);
    EXPECT_EQ(f.search->pvs(5, MAX_PLY - 1, 32767, -32768, WHITE, true), rating);
    EXPECT_EQ(f.search->getSelDepth(), MAX_PLY - 1);
    EXPECT_EQ(f.search->getNodes(), 0);
    EXPECT_EQ(f.search->quiesce(MAX_PLY - 1, -32768, 32767, WHITE), rating);

    // One ply above, the node searches its moves and every child stops at once.
    const int score = f.search->pvs(1, MAX_PLY - 2, 32767, -32768, WHITE, true);
    EXPECT_GT(f.search->getNodes(), 1);
    EXPECT_GE(score, -32000);
    EXPECT_EQ(f.board.getZobristKey(), f.board.computeKey());
}

TEST(SearchTest, PonderMoveAnswersTheBestMove) {
    // The first report of depth 1 is c4f7 e8e7; the mate h5f7 that replaces it
    // has no reply, so no ponder move may survive from the old line.
    Fixture f(SCHOLARS_MATE);
    f.searchToDepth(2);
    EXPECT_EQ(f.lines().front().substr(f.lines().front().find(" pv ")), " pv c4f7 e8e7");
    EXPECT_EQ(text(f.search->bestMove), "h5f7");
    EXPECT_EQ(f.search->ponderMove, NOMOVE);
}

class SearchPonderTest : public testing::TestWithParam<const char*> {};

TEST_P(SearchPonderTest, PonderMoveIsLegalAfterTheBestMove) {
    Fixture f(GetParam());
    f.searchToDepth(4);
    ASSERT_NE(f.search->bestMove, NOMOVE);
    ASSERT_NE(f.search->ponderMove, NOMOVE);
    ASSERT_TRUE(f.board.moveIsLegal(f.search->bestMove));
    ASSERT_TRUE(f.board.executeMove(f.search->bestMove));
    EXPECT_TRUE(f.board.moveIsLegal(f.search->ponderMove));
    const std::string last = f.lines().back();
    const std::string line = text(f.search->bestMove) + " " + text(f.search->ponderMove);
    EXPECT_EQ(last.substr(last.find(" pv ") + 4, line.size()), line);
}

INSTANTIATE_TEST_SUITE_P(SearchTest, SearchPonderTest,
                         testing::Values(START_FEN, MIDDLEGAME, "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
                                         "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8"));

TEST(SearchTest, InfoLinesHaveTheProtocolForm) {
    Fixture f(MIDDLEGAME);
    f.searchToDepth(3);
    const std::regex form(
        "info depth [1-3] seldepth [0-9]+ score (cp -?[0-9]+|mate -?[0-9]+) nodes [0-9]+ nps [0-9]+ time [1-9][0-9]* "
        "multipv 1 pv [a-h][1-8][a-h][1-8][nbrq]?( [a-h][1-8][a-h][1-8][nbrq]?)*");
    const std::vector<std::string> lines = f.lines();
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines) EXPECT_TRUE(std::regex_match(line, form)) << line;
    EXPECT_EQ(f.field(lines.back(), "depth"), "3");
    // The last line comes when the root last improved; the iteration goes on after it.
    EXPECT_LE(std::stoll(f.field(lines.back(), "nodes")), f.search->getNodes());
}

TEST(SearchTest, DepthLimitsEndTheIterations) {
    Fixture limited(MIDDLEGAME, {}, 2);
    limited.searchToDepth(5);
    EXPECT_EQ(limited.field(limited.lines().back(), "depth"), "2");
    EXPECT_TRUE(limited.search->stop);

    Fixture none(MIDDLEGAME, {}, 0);
    none.searchToDepth(5);
    EXPECT_EQ(none.out.str(), "");
    EXPECT_EQ(none.search->bestMove, NOMOVE);
    EXPECT_TRUE(none.search->stop);
}

TEST(SearchTest, ATimeBudgetEndsAnUnboundedSearch) {
    Fixture f(MIDDLEGAME);
    f.search->stop = false;
    f.search->iterativeDeepening(WHITE, 20);
    EXPECT_TRUE(f.search->stop);
    EXPECT_NE(f.search->bestMove, NOMOVE);
    EXPECT_LT(std::stoi(f.field(f.lines().back(), "depth")), 64);
}

TEST(SearchTest, StopSetBeforeTheSearchEndsItAfterTheFirstIteration) {
    Fixture f(MIDDLEGAME);
    f.search->stop = true;
    f.search->iterativeDeepening(WHITE, -6);
    for (const std::string& line : f.lines()) EXPECT_EQ(f.field(line, "depth"), "1") << line;
    EXPECT_TRUE(f.search->stop);
}

std::string emptyReport(int entries) {
    std::ostringstream expected;
    expected << "======================== DIAGNOSTICS ======================\n"
             << "Ply        Nodes        Null         Cut          PV         All      TT Hit\n\n"
             << "0 TT Collisions\n"
             << entries << " TT Entries\n\n"
             << "#             PV         Pct         Cut         Pct\n";
    for (int i = 1; i <= 30; ++i) {
        std::ostringstream label;
        label << i;
        expected << label.str() << std::string(4 - label.str().size(), ' ') << std::string(11, ' ') << '0'
                 << std::string(11, ' ') << '0' << std::string(11, ' ') << '0' << std::string(11, ' ') << "0\n";
    }
    expected << "============================ END ==========================\n";
    return expected.str();
}

TEST(SearchTest, DiagnosticsPrintsAndResetsTheStatistics) {
    Fixture f(MIDDLEGAME);
    f.search->diagnostics();
    EXPECT_EQ(f.out.str(), emptyReport(0));

    f.searchToDepth(3);
    f.out.str("");
    f.search->diagnostics();
    const std::string report = f.out.str();
    EXPECT_NE(report.find("\n0   "), std::string::npos) << report;
    const std::smatch entries = [&report] {
        std::smatch match;
        std::regex_search(report, match, std::regex("\n([0-9]+) TT Entries"));
        return match;
    }();
    ASSERT_FALSE(entries.empty());
    const int stored = std::stoi(entries[1].str());
    EXPECT_GT(stored, 0);

    // The printed counters start again from zero; the entries stay until clear.
    f.out.str("");
    f.search->diagnostics();
    EXPECT_EQ(f.out.str(), emptyReport(stored));
}

TEST(SearchTest, ClearEmptiesTheTableSoTheSameSearchRepeatsItself) {
    // Time and speed are the only fields that may differ.
    const auto withoutTimes = [](const std::vector<std::string>& lines) {
        const std::regex timing(" nps [0-9]+ time [0-9]+");
        std::vector<std::string> result;
        for (const std::string& line : lines) result.push_back(std::regex_replace(line, timing, ""));
        return result;
    };
    Fixture f(MIDDLEGAME);
    f.searchToDepth(5);
    const std::vector<std::string> first = withoutTimes(f.lines());
    const Move firstBest = f.search->bestMove;
    const Move firstPonder = f.search->ponderMove;

    f.search->clear();
    f.out.str("");
    f.search->diagnostics();
    EXPECT_NE(f.out.str().find("\n0 TT Entries\n"), std::string::npos);

    f.searchToDepth(5);
    EXPECT_EQ(withoutTimes(f.lines()), first);
    EXPECT_EQ(f.search->bestMove, firstBest);
    EXPECT_EQ(f.search->ponderMove, firstPonder);
}

}  // namespace
