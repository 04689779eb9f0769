#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "board/board.h"
#include "eval/evaluator.h"
#include "eval/tables.h"
#include "tests/perft_suite_file.h"

namespace {

constexpr const char* AFTER_E4 = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1";


struct Rated {
    EvalState state;
    int whiteRating;
    int blackRating;
};

Rated rate(const Board& board) {
    Evaluator evaluator(board);
    const int whiteRating = evaluator.getRating(WHITE);
    const int blackRating = evaluator.getRating(BLACK);
    return {evaluator.lastState(), whiteRating, blackRating};
}

TEST(EvalTables, EntriesAsEachColourReadsThem) {
    struct Case {
        int type, color;
        const char* square;
        Score expected;
    };
    const Case cases[] = {
        {KNIGHT, WHITE, "g1", Score::both(-12)}, {KNIGHT, BLACK, "g8", Score::both(-12)},
        {KING, WHITE, "g1", {50, -48}},          {KING, BLACK, "g8", {50, -48}},
        {KING, WHITE, "e4", {-30, 24}},          {KING, BLACK, "e5", {-30, 24}},
        {PAWN, WHITE, "d2", Score::both(-24)},   {PAWN, BLACK, "d7", Score::both(-24)},
        {PAWN, WHITE, "a3", Score::both(-4)},    {PAWN, WHITE, "a4", Score::both(-6)},
        {BISHOP, WHITE, "c1", Score::both(-12)}, {QUEEN, BLACK, "d8", Score::both(-5)},
    };
    for (const Case& c : cases) {
        const int square = makeSquare('8' - c.square[1], c.square[0] - 'a');
        EXPECT_EQ(eval::pieceSquareValue(c.type, c.color, square), c.expected) << c.type << " on " << c.square;
    }
    for (int file = 0; file < 8; ++file) {
        EXPECT_EQ(eval::pieceSquareValue(ROOK, WHITE, makeSquare(1, file)), Score::both(20)) << "rank 7";
        EXPECT_EQ(eval::pieceSquareValue(ROOK, BLACK, makeSquare(6, file)), Score::both(20)) << "rank 2";
    }
    const std::pair<int, int> safety[] = {{1, 0}, {2, 1}, {15, 39}, {60, 494}, {61, 500}, {99, 500}};
    for (const auto& [index, value] : safety) EXPECT_EQ(eval::safetyTable[index], value) << "safety " << index;
}

TEST(EvalTerms, TermsOfEachColour) {
    struct Case {
        const char* what;
        const char* fen;
        int color;
        Score SideTerms::*term;
        Score expected;
    };
    constexpr const char* ROOK_A1 = "4k3/8/8/8/8/8/8/R3K3 w - - 0 1";
    constexpr const char* KINGSIDE = "6k1/5ppp/8/8/8/8/5PP1/6K1 w - - 0 1";
    const Case cases[] = {
        {"pieces without pawns", "rnbqkbnr/8/8/8/8/8/8/RNBQKBNR w KQkq - 0 1", WHITE, &SideTerms::material,
         Score::both(3295)},
        {"pawns without pieces", "4k3/pppppppp/8/8/8/8/PPPPPPPP/4K3 w - - 0 1", BLACK, &SideTerms::material,
         Score::both(800)},
        {"rook: open a-file", ROOK_A1, WHITE, &SideTerms::rookBonus, Score::both(15)},
        {"rook: ten squares", ROOK_A1, WHITE, &SideTerms::mobility, {20, 40}},
        {"king e1: three pawnless files", ROOK_A1, WHITE, &SideTerms::kingSafety, {-30, 0}},
        {"king e8: three pawnless files", ROOK_A1, BLACK, &SideTerms::kingSafety, {-30, 0}},
        {"rook: semi-open file", "4k3/p7/8/8/8/8/8/R3K3 w - - 0 1", WHITE, &SideTerms::rookBonus, Score::both(10)},
        {"rook: behind its pawn", "4k3/8/8/8/8/8/P7/R3K3 w - - 0 1", WHITE, &SideTerms::rookBonus, {}},
        {"black rook: open file", "r3k3/8/8/8/8/8/8/4K3 b - - 0 1", BLACK, &SideTerms::rookBonus, Score::both(15)},
        {"one rook on the king is no attack", "6k1/8/8/8/8/8/8/2K2R2 w - - 0 1", WHITE, &SideTerms::attackScore, {}},
        {"king c1 behind a2 b2 c2", "4k3/8/8/8/8/8/PPP5/2K5 w - - 0 1", WHITE, &SideTerms::kingSafety, {-37, 0}},
        {"a2 b2 c2 passed", "4k3/8/8/8/8/8/PPP5/2K5 w - - 0 1", WHITE, &SideTerms::pawnStructure, Score::both(60)},
        {"king g1, no h-pawn", KINGSIDE, WHITE, &SideTerms::kingSafety, {-25, 0}},
        {"king g8, no white h-pawn", KINGSIDE, BLACK, &SideTerms::kingSafety, {-15, 0}},
        {"king g8, storm on g5 and h6", "6k1/5ppp/7P/6P1/8/8/5P2/6K1 w - - 0 1", BLACK, &SideTerms::kingSafety,
         {-15, 0}},
        {"king g8, h3 is no storm yet", "6k1/5ppp/8/8/8/7P/5PP1/6K1 w - - 0 1", BLACK, &SideTerms::kingSafety, {}},
        {"king g1, g3 and h4 advanced", "6k1/5ppp/8/8/7P/6P1/5P2/6K1 w - - 0 1", WHITE, &SideTerms::kingSafety,
         {-30, 0}},
        {"a2 isolated at the edge", "4k3/8/8/1p6/8/8/P7/4K3 w - - 0 1", WHITE, &SideTerms::pawnStructure,
         Score::both(-20)},
        {"doubled: the front pawn pays", "4k3/8/8/8/8/P7/P7/4K3 w - - 0 1", WHITE, &SideTerms::pawnStructure,
         Score::both(-20 - 20 - 10 + 20 + 40)},
        {"c3 backward behind b4 and d4", "4k3/1p2pp2/8/8/1P1P4/2P5/8/4K3 w - - 0 1", WHITE,
         &SideTerms::pawnStructure, Score::both(-8)},
        {"c6 backward behind b5 and d5", "4k3/8/2p5/1p1p4/8/8/1P2PP2/4K3 w - - 0 1", BLACK,
         &SideTerms::pawnStructure, Score::both(-8)},
        {"passed on rank 7 beside an enemy pawn", "4k3/Pp6/8/8/8/8/8/4K3 w - - 0 1", WHITE,
         &SideTerms::pawnStructure, Score::both(-20 + 120)},
        {"black passed on rank 2", "4k3/8/8/8/8/8/6p1/4K3 w - - 0 1", BLACK, &SideTerms::pawnStructure,
         Score::both(-20 + 120)},
        {"pawn-guarded square, no mobility", "6k1/1p5p/2n5/4N3/8/8/8/4K3 w - - 0 1", WHITE, &SideTerms::mobility,
         Score::both(28)},
    };
    for (const Case& c : cases) {
        const Score actual = rate(Board(c.fen)).state.side[c.color].*c.term;
        EXPECT_EQ(actual, c.expected) << c.what << ": " << actual.mg << ", " << actual.eg;
    }
}

TEST(EvalTerms, AttackOnTheKing) {
    struct Case {
        const char* what;
        const char* fen;
        int color, weightSum, attackers;
    };
    const Case cases[] = {
        {"f-rook three ring squares, g-rook two", "6k1/8/8/8/8/8/8/2K2RR1 w - - 0 1", WHITE, 15, 2},
        {"one rook", "6k1/8/8/8/8/8/8/2K2R2 w - - 0 1", WHITE, 9, 1},
        {"knight: f7, and g6 guarded by a pawn", "6k1/1p5p/2n5/4N3/8/8/8/4K3 w - - 0 1", WHITE, 4, 1},
        {"black queen and rook", "6k1/8/8/8/8/8/3q4/r5K1 b - - 0 1", BLACK, 5 * 3 + 3, 2},
    };
    for (const Case& c : cases) {
        const SideTerms& terms = rate(Board(c.fen)).state.side[c.color];
        EXPECT_EQ(terms.attackWeightSum, c.weightSum) << c.what;
        EXPECT_EQ(terms.attackerCount, c.attackers) << c.what;
    }
}

// Promoted queens push the attack weight past the safety table; the sum then
// reads its last entry.
TEST(EvalTerms, AttackBeyondTheSafetyTable) {
    const char* fens[] = {
        "3k4/1Q3Q2/8/1Q3Q2/2Q1Q3/8/8/4K3 b - - 0 1",
        "8/3Q1Q2/2Q3Q1/4k3/2Q3Q1/3Q1Q2/Q7/7K b - - 0 1",
        "4k3/8/8/8/2q1q3/1q3q2/8/1q1K1q2 w - - 0 1",
    };
    for (const char* fen : fens) {
        ASSERT_EQ(Board::fenProblem(fen), "") << fen;
        const Board board = Board(fen);
        const SideTerms& attacker = rate(board).state.side[board.getTurn() ^ 1];
        EXPECT_GT(attacker.attackWeightSum, 99) << fen;
        EXPECT_EQ(attacker.attackScore, Score::both(500)) << fen;
    }
}

// Each colour is tapered and truncated toward zero on its own.
TEST(EvalRating, TotalsPhaseAndTaper) {
    struct Case {
        const char* what;
        const char* fen;
        int phase;
        Score whiteTotal, blackTotal;
        int whiteTapered, blackTapered;
    };
    const Case cases[] = {
        {"start", START_FEN, 24, {4002, 3968}, {4002, 3968}, 4002, 4002},
        {"1.e4", AFTER_E4, 24, {4056, 4026}, {4002, 3968}, 4056, 4002},
        {"rook: -568 / 24 is -23", "4k3/8/8/8/8/8/8/R3K3 w - - 0 1", 2, {515, 531}, {-20, -24}, 529, -23},
        {"bare kings: endgame only", "4k3/8/8/8/8/8/8/6K1 w - - 0 1", 0, {-50, -48}, {-20, -24}, -48, -24},
        {"seven queens: phase stops at 24", "rnbqkbnr/pppppppp/8/8/8/8/8/QQQQKQQQ w kq - 0 1", 24, {6973, 7015},
         {4162, 4128}, 6973, 4162},
    };
    for (const Case& c : cases) {
        const Rated rated = rate(Board(c.fen));
        const SideTerms& white = rated.state.side[WHITE];
        const SideTerms& black = rated.state.side[BLACK];
        EXPECT_EQ(rated.state.phase, c.phase) << c.what;
        EXPECT_EQ(white.total, c.whiteTotal) << c.what << ": " << white.total.mg << ", " << white.total.eg;
        EXPECT_EQ(black.total, c.blackTotal) << c.what << ": " << black.total.mg << ", " << black.total.eg;
        EXPECT_EQ(white.tapered, c.whiteTapered) << c.what;
        EXPECT_EQ(black.tapered, c.blackTapered) << c.what;
        EXPECT_EQ(rated.whiteRating, c.whiteTapered - c.blackTapered) << c.what;
        EXPECT_EQ(rated.blackRating, c.blackTapered - c.whiteTapered) << c.what;
    }
}

TEST(EvalRating, NumMajorMinor) {
    const Board start;
    const Board sevenQueens = Board("4k3/pppppppp/8/8/8/8/8/QQQQKQQQ w - - 0 1");
    EXPECT_EQ(Evaluator(start).numMajorMinor(WHITE), 7);
    EXPECT_EQ(Evaluator(sevenQueens).numMajorMinor(WHITE), 7);
    EXPECT_EQ(Evaluator(sevenQueens).numMajorMinor(BLACK), 0);
}

// The position turned upside down with the colours swapped and the other side
// to move; the en passant square and the counters play no part in the score.
std::string mirroredFen(const Board& board) {
    std::string fen;
    for (int row = 7; row >= 0; --row) {
        int blanks = 0;
        for (int file = 0; file < 8; ++file) {
            const int square = makeSquare(row, file);
            if (board.colorAt(square) == EMPTY) {
                ++blanks;
                continue;
            }
            if (blanks > 0) fen += static_cast<char>('0' + blanks);
            blanks = 0;
            const char letter = PIECE_LETTERS[board.pieceAt(square)];
            fen += board.colorAt(square) == WHITE ? letter : static_cast<char>(letter - 'a' + 'A');
        }
        if (blanks > 0) fen += static_cast<char>('0' + blanks);
        if (row > 0) fen += '/';
    }
    std::string castling;
    for (const auto& [right, letter] : {std::pair{4, 'K'}, {8, 'Q'}, {1, 'k'}, {2, 'q'}})
        if (board.getCastling() & right) castling += letter;
    return fen + (board.getTurn() == WHITE ? " b " : " w ") + (castling.empty() ? "-" : castling) + " - 0 1";
}

void expectMirrorSymmetry(const Board& board, const std::string& where) {
    const std::string mirror = mirroredFen(board);
    const Rated original = rate(board);
    const Rated mirrored = rate(Board(mirror));
    EXPECT_EQ(original.whiteRating, -original.blackRating) << where;
    EXPECT_EQ(original.whiteRating, mirrored.blackRating) << where << " mirrored " << mirror;
    EXPECT_EQ(original.state.phase, mirrored.state.phase) << where;
    EXPECT_TRUE(original.state.side[WHITE] == mirrored.state.side[BLACK]) << where << " mirrored " << mirror;
    EXPECT_TRUE(original.state.side[BLACK] == mirrored.state.side[WHITE]) << where << " mirrored " << mirror;
}

// The perft suite brings endgames, promotions and castling rights; these add
// openings and middlegames with kings castled on either wing or still home.
TEST(EvalSymmetry, MirroredPositionsScoreAlike) {
    std::vector<std::string> fens = {
        AFTER_E4,
        "rnbqkb1r/ppp2ppp/4pn2/3p4/2PP4/2N5/PP2PPPP/R1BQKBNR w KQkq - 2 4",
        "r1bq1rk1/pppp1ppp/2n2n2/2b1p3/2B1P3/3P1N2/PPP2PPP/RNBQ1RK1 w - - 2 6",
        "r1bqkb1r/pp3ppp/2np1n2/1N2p3/4P3/2N5/PPP2PPP/2KR1B1R b kq - 1 9",
        "2rq1rk1/pb2bppp/1p2pn2/8/2PP4/P1B2N2/4BPPP/R2Q1RK1 w - - 0 15",
        "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - - 0 12",
        "r3r1k1/pp3pbp/1qp3p1/2B5/2BP2b1/Q1n2N2/P4PPP/3RK2R w K - 0 15",
        "2r2rk1/1bqnbppp/p2ppn2/1p6/3NP3/1BN1BP2/PPPQ2PP/2KR3R w - - 0 13",
        "1k1r3r/pp2qpp1/2n1pn1p/2b5/2B1P3/2N2N2/PPPQ1PPP/2KR3R b - - 3 14",
        "rn3rk1/pbppq1pp/1p2pb2/4N2Q/3PN3/3B4/PPP2PPP/R3K2R w KQ - 4 11",
        "8/p4pk1/1p4p1/8/2P5/1P3PK1/P5P1/8 b - - 0 30",
        "8/3Q1Q2/2Q3Q1/4k3/2Q3Q1/3Q1Q2/Q7/7K b - - 0 1",
    };
    for (const SuitePosition& position : readSuite(MARROWBY_TEST_DATA "/perftsuite.epd")) fens.push_back(position.fen);
    ASSERT_GE(fens.size(), 50u);
    for (const std::string& fen : fens) {
        ASSERT_EQ(Board::fenProblem(fen), "") << fen;
        expectMirrorSymmetry(Board(fen), fen);
    }
}

// Random games reach positions nobody would write down: lopsided material,
// promotions, kings in odd places.
TEST(EvalSymmetry, PositionsOfRandomGamesScoreAlike) {
    std::mt19937 random(20260406);
    for (int game = 0; game < 12; ++game) {
        Board board;
        MoveList moves;
        for (int ply = 0; ply < 200; ++ply) {
            expectMirrorSymmetry(board, "game " + std::to_string(game) + " ply " + std::to_string(ply));
            moves.clear();
            board.gen(moves);
            std::shuffle(moves.begin(), moves.end(), random);
            bool moved = false;
            for (const Move& move : moves)
                if ((moved = board.executeMove(move))) break;
            if (!moved) break;
        }
    }
}

}  // namespace
