#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "eval/evaluator.h"
#include "tests/perft_suite_file.h"

namespace {

EvalState stateOf(const std::string& fen) {
    const Board board(fen);
    Evaluator evaluator(board);
    (void)evaluator.getRating(WHITE);
    return evaluator.lastState();
}

TEST(EvalTerms, TermsOfEachColour) {
    struct Case {
        const char* what;
        const char* fen;
        int color;
        Score SideTerms::*term;
        Score expected;
    };
    constexpr auto material = &SideTerms::material, pawns = &SideTerms::pawnStructure,
                   safety = &SideTerms::kingSafety, mobility = &SideTerms::mobility, rooks = &SideTerms::rookBonus;
    const Case cases[] = {
        {"pieces without pawns", "rnbqkbnr/8/8/8/8/8/8/RNBQKBNR w KQkq - 0 1", WHITE, material, {3295, 3295}},
        {"pawns without pieces", "4k3/pppppppp/8/8/8/8/PPPPPPPP/4K3 w - - 0 1", BLACK, material, {800, 800}},
        {"rook: open file", "4k3/8/8/8/8/8/8/R3K3 w - - 0 1", WHITE, rooks, {15, 15}},
        {"rook: semi-open file", "4k3/p7/8/8/8/8/8/R3K3 w - - 0 1", WHITE, rooks, {10, 10}},
        {"rook: behind its pawn", "4k3/8/8/8/8/8/P7/R3K3 w - - 0 1", WHITE, rooks, {}},
        {"king e1: three pawnless files", "4k3/8/8/8/8/8/8/R3K3 w - - 0 1", WHITE, safety, {-30, 0}},
        {"king c1, no pawns", "6k1/8/8/8/8/8/8/2K2RR1 w - - 0 1", WHITE, safety, {-100, 0}},
        {"king c1 behind a2 b2 c2", "4k3/8/8/8/8/8/PPP5/2K5 w - - 0 1", WHITE, safety, {-37, 0}},
        {"king g1, no h-pawn", "6k1/5ppp/8/8/8/8/5PP1/6K1 w - - 0 1", WHITE, safety, {-25, 0}},
        {"king g8, no white h-pawn", "6k1/5ppp/8/8/8/8/5PP1/6K1 w - - 0 1", BLACK, safety, {-15, 0}},
        {"king g8, storm on g5 and h6", "6k1/5ppp/7P/6P1/8/8/5P2/6K1 w - - 0 1", BLACK, safety, {-15, 0}},
        {"king g8, h3 is no storm yet", "6k1/5ppp/8/8/8/7P/5PP1/6K1 w - - 0 1", BLACK, safety, {}},
        {"king g1, g3 and h4 advanced", "6k1/5ppp/8/8/7P/6P1/5P2/6K1 w - - 0 1", WHITE, safety, {-30, 0}},
        {"a2 b2 c2 passed", "4k3/8/8/8/8/8/PPP5/2K5 w - - 0 1", WHITE, pawns, {60, 60}},
        {"a2 isolated at the edge", "4k3/8/8/1p6/8/8/P7/4K3 w - - 0 1", WHITE, pawns, {-20, -20}},
        {"a3 a2: isolated, passed, the front one doubled", "4k3/8/8/8/8/P7/P7/4K3 w - - 0 1", WHITE, pawns, {10, 10}},
        {"c3 backward behind b4 and d4", "4k3/1p2pp2/8/8/1P1P4/2P5/8/4K3 w - - 0 1", WHITE, pawns, {-8, -8}},
        {"a7 passed beside b7", "4k3/Pp6/8/8/8/8/8/4K3 w - - 0 1", WHITE, pawns, {100, 100}},
        {"knight e5: g6 empty, guarded by h7", "6k1/1p5p/2n5/4N3/8/8/8/4K3 w - - 0 1", WHITE, mobility, {28, 28}},
    };
    for (const Case& c : cases) {
        const Score actual = stateOf(c.fen).side[c.color].*c.term;
        EXPECT_EQ(actual, c.expected) << c.what << " in " << c.fen << ": " << actual.mg << ", " << actual.eg;
    }
}

// Each piece weighs the enemy king-ring squares it reaches, a pawn-guarded
// empty one too. Two attackers or more read the safety table; sums beyond it,
// possible only with promoted queens, read its last entry.
TEST(EvalTerms, AttackOnTheKing) {
    struct Case {
        const char* fen;
        int color, weightSum, attackers, attackScore;
    };
    const Case cases[] = {
        {"6k1/8/8/8/8/8/8/2K2RR1 w - - 0 1", WHITE, 15, 2, 39},
        {"6k1/8/8/8/8/8/8/2K2R2 w - - 0 1", WHITE, 9, 1, 0},
        {"6k1/1p5p/2n5/4N3/8/8/8/4K3 w - - 0 1", WHITE, 4, 1, 0},
        {"3k4/1Q3Q2/8/1Q3Q2/2Q1Q3/8/8/4K3 b - - 0 1", WHITE, 120, 6, 500},
        {"8/3Q1Q2/2Q3Q1/4k3/2Q3Q1/3Q1Q2/Q7/7K b - - 0 1", WHITE, 210, 8, 500},
    };
    for (const Case& c : cases) {
        const SideTerms terms = stateOf(c.fen).side[c.color];
        EXPECT_EQ(terms.attackWeightSum, c.weightSum) << c.fen;
        EXPECT_EQ(terms.attackerCount, c.attackers) << c.fen;
        EXPECT_EQ(terms.attackScore, Score::both(c.attackScore)) << c.fen;
    }
}

// Each colour's total is tapered by the phase and truncated toward zero on its
// own; the phase stops at 24. Knights, bishops, rooks and queens count as
// major and minor pieces.
TEST(EvalRating, PhaseAndTaper) {
    struct Case {
        const char* fen;
        int phase;
        Score whiteTotal, blackTotal;
        int whiteTapered, blackTapered, whiteMajorMinor;
    };
    const Case cases[] = {
        {START_FEN, 24, {4002, 3968}, {4002, 3968}, 4002, 4002, 7},
        {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", 2, {515, 531}, {-20, -24}, 529, -23, 1},
        {"4k3/8/8/8/8/8/8/6K1 w - - 0 1", 0, {-50, -48}, {-20, -24}, -48, -24, 0},
        {"4k3/pppppppp/8/8/8/8/PPPPPPPP/4K3 w - - 0 1", 0, {744, 710}, {744, 710}, 710, 710, 0},
        {"rnbqkbnr/pppppppp/8/8/8/8/8/QQQQKQQQ w kq - 0 1", 24, {6973, 7015}, {4162, 4128}, 6973, 4162, 7},
    };
    for (const Case& c : cases) {
        const Board board(c.fen);
        Evaluator evaluator(board);
        EXPECT_EQ(evaluator.getRating(WHITE), c.whiteTapered - c.blackTapered) << c.fen;
        const EvalState& state = evaluator.lastState();
        EXPECT_EQ(state.phase, c.phase) << c.fen;
        EXPECT_EQ(state.side[WHITE].total, c.whiteTotal) << c.fen;
        EXPECT_EQ(state.side[BLACK].total, c.blackTotal) << c.fen;
        EXPECT_EQ(state.side[WHITE].tapered, c.whiteTapered) << c.fen;
        EXPECT_EQ(state.side[BLACK].tapered, c.blackTapered) << c.fen;
        EXPECT_EQ(evaluator.numMajorMinor(WHITE), c.whiteMajorMinor) << c.fen;
    }
}

// The position turned upside down with the colours swapped and the other side
// to move; castling rights, the en passant square and the counters play no
// part in the score.
std::string mirrored(const std::string& fen) {
    std::istringstream fields(fen);
    std::string placement, turn;
    fields >> placement >> turn;
    std::istringstream rows(placement);
    std::string result;
    for (std::string row; std::getline(rows, row, '/');) {
        for (char& c : row) c = std::isupper(c) ? std::tolower(c) : std::toupper(c);
        result = row + (result.empty() ? "" : "/") + result;
    }
    return result + (turn == "w" ? " b" : " w") + " - - 0 1";
}

// The perft suite brings endgames, pawns about to promote and castling rights;
// these add openings and middlegames with kings castled on either wing or
// still home, and promoted queens.
TEST(EvalSymmetry, MirroredPositionsScoreAlike) {
    std::vector<std::string> fens = {
        "r1bq1rk1/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQ1RK1 w - - 2 6",
        "r1bqkb1r/pp3ppp/2np1n2/1N2p3/4P3/2N5/PPP2PPP/2KR1B1R b kq - 1 9",
        "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - - 0 12",
        "r3r1k1/pp3pbp/1qp3p1/2B5/2BP2b1/Q1n2N2/P4PPP/3RK2R w K - 0 15",
        "1k1r3r/pp2qpp1/2n1pn1p/2b5/2B1P3/2N2N2/PPPQ1PPP/2KR3R b - - 3 14",
        "8/p4pk1/1p4p1/8/2P5/1P3PK1/P5P1/8 b - - 0 30",
        "8/3Q1Q2/2Q3Q1/4k3/2Q3Q1/3Q1Q2/Q7/7K b - - 0 1",
    };
    for (const SuitePosition& position : readSuite(MARROWBY_TEST_DATA "/perftsuite.epd")) fens.push_back(position.fen);
    ASSERT_GE(fens.size(), 50u);
    for (const std::string& fen : fens) {
        const Board board(fen), mirror(mirrored(fen));
        Evaluator original(board), flipped(mirror);
        EXPECT_EQ(original.getRating(board.getTurn()), flipped.getRating(mirror.getTurn())) << fen;
        EXPECT_TRUE(original.lastState().side[WHITE] == flipped.lastState().side[BLACK]) << fen;
        EXPECT_TRUE(original.lastState().side[BLACK] == flipped.lastState().side[WHITE]) << fen;
    }
}

}  // namespace
