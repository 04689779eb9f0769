#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "eval/evaluator.h"
#include "search/search.h"
#include "tests/board_test_util.h"

namespace {

// A board, a search over it and the search's info lines.
struct Fixture {
    Board board;
    std::ostringstream out;
    Search search;

    explicit Fixture(const char* fen, const std::vector<std::string>& moves = {}, int maxDepth = 64)
        : board(fen), search(board, maxDepth, out) {
        EXPECT_TRUE(play(board, moves)) << fen;
    }

    // Iterations up to depth, as "go depth" asks for them.
    void searchToDepth(int depth) {
        out.str("");
        search.stop = false;
        search.iterativeDeepening(board.getTurn(), -depth);
    }

    [[nodiscard]] std::vector<std::string> lines() const {
        std::vector<std::string> result;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) result.push_back(line);
        return result;
    }
};

// The value of one field of an info line, e.g. "cp 12" for score.
std::string field(const std::string& line, const std::string& name) {
    std::smatch match;
    const std::regex pattern(" " + name + " (cp -?[0-9]+|mate -?[0-9]+|[0-9]+)");
    return std::regex_search(line, match, pattern) ? match[1].str() : "";
}

constexpr const char* SCHOLARS_MATE = "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq - 4 4";
constexpr const char* MIDDLEGAME = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

TEST(SearchTest, ReportsMatesByDistanceDrawsByRuleAsZeroAndNothingForARootWithoutMoves) {
    const struct {
        const char *name, *fen;
        std::vector<std::string> moves;
        int depth;
        const char* score;     // of the last info line; nullptr: no line and no best or ponder move
        const char* bestMove;  // empty: any
    } cases[] = {
        {"queen takes f7", SCHOLARS_MATE, {}, 2, "mate 1", "h5f7"},
        {"king and rook in two", "k7/8/2K5/8/8/8/8/7R w - - 0 1", {}, 4, "mate 2", "c6c7"},
        {"queen hunts the king in three", "2r3k1/p4p2/3Rp2p/1p2P1pK/8/1P4P1/P3Q2P/1q6 b - - 0 1", {}, 6, "mate 3",
         "b1g6"},
        {"mated in one", "7k/8/6K1/8/8/8/8/R7 b - - 0 1", {}, 3, "mate -1", "h8g8"},
        // Down a queen, black repeats the start position a third time.
        {"repetition saves the losing side", "7k/8/8/8/8/8/8/KQ6 w - - 0 1",
         {"b1b2", "h8g8", "b2b1", "g8h8", "b1b2", "h8g8", "b2b1"}, 3, "cp 0", "g8h8"},
        {"root drawn by the fifty-move rule", "6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 100 80", {}, 3, nullptr, ""},
        {"root drawn by repetition", START_FEN, {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"}, 3,
         nullptr, ""},
        {"checkmated root", START_FEN, {"f2f3", "e7e5", "g2g4", "d8h4"}, 3, nullptr, ""},
        {"stalemated root", "k7/8/1QK5/8/8/8/8/8 b - - 0 1", {}, 3, nullptr, ""},
    };
    for (const auto& c : cases) {
        Fixture f(c.fen, c.moves);
        f.searchToDepth(c.depth);
        EXPECT_TRUE(f.search.stop) << c.name;
        if (c.score == nullptr) {
            EXPECT_EQ(f.out.str(), "") << c.name;
            EXPECT_EQ(f.search.bestMove, NOMOVE) << c.name;
            EXPECT_EQ(f.search.ponderMove, NOMOVE) << c.name;
            continue;
        }
        const std::vector<std::string> lines = f.lines();
        ASSERT_FALSE(lines.empty()) << c.name;
        EXPECT_EQ(field(lines.back(), "depth"), std::to_string(c.depth)) << c.name;
        EXPECT_EQ(field(lines.back(), "score"), c.score) << c.name << ": " << lines.back();
        if (c.bestMove[0] != '\0') {
            EXPECT_EQ(moveText(f.search.bestMove), c.bestMove) << c.name;
        }
    }
}

TEST(SearchTest, NodesAnswerWithoutSearchingWhenTheyCan) {
    const struct {
        const char *name, *fen;
        std::vector<std::string> moves;
        int depth, ply, alpha, expected;
        std::int64_t nodes;
    } cases[] = {
        {"checkmated at the root", START_FEN, {"f2f3", "e7e5", "g2g4", "d8h4"}, 1, 0, -32768, -MATE, 1},
        // In check at the horizon the node is extended and searched, not stood pat.
        {"checkmated at the horizon", START_FEN, {"f2f3", "e7e5", "g2g4", "d8h4"}, 0, 3, -32768, -(MATE - 3), 1},
        {"stalemated", "k7/8/1QK5/8/8/8/8/8 b - - 0 1", {}, 2, 4, -32768, 0, 1},
        // No mate from ply 5 can score above 31994, so alpha 31996 already holds.
        {"mate distance pruning", MIDDLEGAME, {}, 3, 5, 31996, 31996, 0},
    };
    for (const auto& c : cases) {
        Fixture f(c.fen, c.moves);
        EXPECT_EQ(f.search.pvs(c.depth, c.ply, 32767, c.alpha, f.board.getTurn(), true), c.expected) << c.name;
        EXPECT_EQ(f.search.getNodes(), c.nodes) << c.name;
    }
}

TEST(SearchTest, LastPlyAnswersWithTheStaticScore) {
    Fixture f(MIDDLEGAME);
    const int rating = Evaluator(f.board).getRating(WHITE);
    EXPECT_EQ(f.search.pvs(5, MAX_PLY - 1, 32767, -32768, WHITE, true), rating);
    EXPECT_EQ(f.search.getSelDepth(), MAX_PLY - 1);
    EXPECT_EQ(f.search.getNodes(), 0);
    EXPECT_EQ(f.search.quiesce(MAX_PLY - 1, -32768, 32767, WHITE), rating);
    EXPECT_EQ(f.search.getNodes(), 1);
}

TEST(SearchTest, PonderMoveAnswersTheBestMove) {
    // The first report of depth 1 is c4f7 e8e7; the mate h5f7 that replaces it
    // has no reply, so no ponder move may survive from the old line.
    Fixture f(SCHOLARS_MATE);
    f.searchToDepth(2);
    EXPECT_EQ(f.lines().front().substr(f.lines().front().find(" pv ")), " pv c4f7 e8e7");
    EXPECT_EQ(moveText(f.search.bestMove), "h5f7");
    EXPECT_EQ(f.search.ponderMove, NOMOVE);
}

// Every line has the protocol form and a legal principal variation; the best
// and ponder moves open the last one.
TEST(SearchTest, IterationsRunToTheDepthLimitAndReportInProtocolForm) {
    const struct {
        const char* name;
        int maxDepth, depth;
        bool stopBefore;
        const char* depths;  // the depths reported, in order, without repeats
    } cases[] = {
        {"go depth 4", 64, 4, false, "1234"},
        {"maximum depth 2", 2, 5, false, "12"},
        // The first root move ends the search before it reports anything.
        {"stop set before the search", 64, 6, true, ""},
        {"maximum depth 0", 0, 5, false, ""},
    };
    const std::regex form(
        "info depth [0-9]+ seldepth [0-9]+ score (cp -?[0-9]+|mate -?[0-9]+) nodes [0-9]+ nps [0-9]+ time [1-9][0-9]* "
        "multipv 1 pv [a-h][1-8][a-h][1-8][nbrq]?( [a-h][1-8][a-h][1-8][nbrq]?)*");
    for (const auto& c : cases) {
        Fixture f(MIDDLEGAME, {}, c.maxDepth);
        f.search.stop = c.stopBefore;
        f.search.iterativeDeepening(WHITE, -c.depth);
        std::string depths;
        std::vector<std::string> pv;
        for (const std::string& line : f.lines()) {
            EXPECT_TRUE(std::regex_match(line, form)) << c.name << ": " << line;
            if (!depths.ends_with(field(line, "depth"))) depths += field(line, "depth");
            // A line comes when the root improves; the iteration goes on after it.
            EXPECT_LE(std::stoll(field(line, "nodes")), f.search.getNodes()) << c.name << ": " << line;
            std::istringstream words(line.substr(line.find(" pv ") + 4));
            pv.clear();
            for (std::string word; words >> word;) pv.push_back(word);
            Board replay(MIDDLEGAME);
            EXPECT_TRUE(play(replay, pv)) << c.name << ": " << line;
        }
        EXPECT_EQ(depths, c.depths) << c.name;
        EXPECT_TRUE(f.search.stop) << c.name;
        pv.resize(2, "a8a8");  // NOMOVE prints a8a8
        EXPECT_EQ(moveText(f.search.bestMove), pv[0]) << c.name;
        EXPECT_EQ(moveText(f.search.ponderMove), pv[1]) << c.name;
    }
}

// The report of a search whose statistics were just printed.
std::string emptyReport(int entries) {
    std::string report = "======================== DIAGNOSTICS ======================\n"
                         "Ply        Nodes        Null         Cut          PV         All      TT Hit\n\n"
                         "0 TT Collisions\n" + std::to_string(entries) + " TT Entries\n\n"
                         "#             PV         Pct         Cut         Pct\n";
    for (int i = 1; i <= 30; ++i) {
        std::string label = std::to_string(i);
        label.resize(4, ' ');
        report += label + "           0           0           0           0\n";
    }
    return report + "============================ END ==========================\n";
}

TEST(SearchTest, DiagnosticsResetTheStatisticsAndClearMakesTheSameSearchRepeatItself) {
    // Time and speed are the only fields that may differ.
    const std::regex timing(" nps [0-9]+ time [0-9]+");
    Fixture f(MIDDLEGAME);
    f.searchToDepth(5);
    const std::string first = std::regex_replace(f.out.str(), timing, "");
    const Move firstBest = f.search.bestMove;
    const Move firstPonder = f.search.ponderMove;

    f.out.str("");
    f.search.diagnostics();
    const std::string report = f.out.str();
    EXPECT_NE(report.find("\n0   "), std::string::npos) << report;
    std::smatch entries;
    ASSERT_TRUE(std::regex_search(report, entries, std::regex("\n([0-9]+) TT Entries"))) << report;
    const int stored = std::stoi(entries[1].str());
    EXPECT_GT(stored, 0);
    // The printed counters start again from zero; the entries stay until clear.
    f.out.str("");
    f.search.diagnostics();
    EXPECT_EQ(f.out.str(), emptyReport(stored));
    f.search.clear();
    f.out.str("");
    f.search.diagnostics();
    EXPECT_EQ(f.out.str(), emptyReport(0));

    f.searchToDepth(5);
    EXPECT_EQ(std::regex_replace(f.out.str(), timing, ""), first);
    EXPECT_EQ(f.search.bestMove, firstBest);
    EXPECT_EQ(f.search.ponderMove, firstPonder);
}

}  // namespace
