#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "board/board.h"
#include "board/line_reach.h"
#include "board/piece_reach.h"
#include "board/square_set.h"
#include "platform/processor.h"

namespace {

constexpr SquareSet EVERY_SQUARE = ~SquareSet{0};

// The squares a step reaches from a square, one or (sliding) all the way to
// the edge, indexed by step + STEP_BIAS and bit.
constexpr int STEP_BIAS = SOUTH_EAST;
constexpr auto RAYS = [] {
    std::array<std::array<SquareSet, 64>, 2 * STEP_BIAS + 1> rays{};
    for (const int step : PIECE_STEPS[QUEEN])
        for (int bit = 0; bit < 64; ++bit)
            for (int square = squareOfBit(bit) + step; onBoard(square); square += step)
                rays[step + STEP_BIAS][bit] |= bitOf(square);
    return rays;
}();

// The squares a slider reaches from a square along a step, up to and with
// the first occupied one. The last square of the board in the step's
// direction stands in for a missing blocker: no ray goes on from it.
[[nodiscard]] inline SquareSet slide(int step, int bit, SquareSet occupied) {
    constexpr SquareSet FIRST_SQUARE = 1;
    constexpr SquareSet LAST_SQUARE = SquareSet{1} << 63;
    const SquareSet ray = RAYS[step + STEP_BIAS][bit];
    const SquareSet blockers = ray & occupied;
    const int nearest =
        step > 0 ? std::countr_zero(blockers | LAST_SQUARE) : 63 - std::countl_zero(blockers | FIRST_SQUARE);
    return ray & ~RAYS[step + STEP_BIAS][nearest];
}

// The knight's steps ascend, so its targets come in generation order when
// taken by square.
static_assert(std::is_sorted(std::begin(PIECE_STEPS[KNIGHT]), std::end(PIECE_STEPS[KNIGHT])));

// The squares of each castling's path that must be empty.
constexpr auto CASTLING_PATHS = [] {
    std::array<SquareSet, CASTLING_RIGHTS.size()> paths{};
    for (std::size_t i = 0; i < CASTLING_RIGHTS.size(); ++i)
        for (const int square : CASTLING_RIGHTS[i].mustBeEmpty)
            if (square != NO_SQUARE) paths[i] |= bitOf(square);
    return paths;
}();

}  // namespace

// What counting the moves of the side to move needs besides the board's
// square sets: each side's squares, the pieces pinned to the king, and
// the squares a move other than the king's must reach (every square out of
// check, the checker and the squares between it and the king in single
// check, none in double check).
struct Board::CountingFacts {
    SquareSet own = 0;
    SquareSet enemy = 0;
    SquareSet pinned = 0;
    SquareSet evasions = 0;
    // The evasions not occupied by the side to move.
    SquareSet allowed = 0;
    SquareSet occupied = 0;
    int king = 0;
    bool inCheck = false;

    // The squares the piece on from may go to as far as its king is concerned.
    [[nodiscard]] SquareSet targets(int from) const {
        if ((pinned & bitOf(from)) == 0) return allowed;
        return allowed & RAYS[LINE_STEP[from - king + SQUARE_DIFFERENCE_BIAS] + STEP_BIAS][bitIndex(king)];
    }
};

[[gnu::always_inline]] inline Board::CountingFacts Board::countingFacts() const {
    const int us = turn;
    const int them = us ^ 1;
    CountingFacts facts;
    facts.king = kingSquare(us);
    facts.own = sets.all[us];
    facts.enemy = sets.all[them];
    facts.occupied = sets.occupied();
    const SquareSet(&enemies)[6] = sets.byType[them];
    const SquareSet enemyDiagonals = enemies[BISHOP] | enemies[QUEEN];
    const SquareSet enemyStraights = enemies[ROOK] | enemies[QUEEN];

    // Only an enemy slider on a line through the king can check along it or
    // pin a piece to it.
    const int king = facts.king;
    const int kingBit = bitIndex(king);
    const SquareSet occupied = facts.occupied;
    int checkers = 0;
    SquareSet evasions = 0;
    for (SquareSet sliders = (LINES<BISHOP>[kingBit] & enemyDiagonals) | (LINES<ROOK>[kingBit] & enemyStraights);
         sliders != 0; sliders &= sliders - 1) {
        const int slider = std::countr_zero(sliders);
        const int step = LINE_STEP[squareOfBit(slider) - king + SQUARE_DIFFERENCE_BIAS];
        // The slider's square and the squares between it and the king.
        const SquareSet line = RAYS[step + STEP_BIAS][kingBit] & ~RAYS[step + STEP_BIAS][slider];
        const SquareSet blockers = line & occupied & ~(SquareSet{1} << slider);
        if (blockers == 0) {
            ++checkers;
            evasions = line;
        } else if ((blockers & (blockers - 1)) == 0 && (blockers & facts.own) != 0) {
            facts.pinned |= blockers;
        }
    }
    if (const SquareSet knights = STEP_REACH<KNIGHT>[kingBit] & enemies[KNIGHT]; knights != 0) {
        checkers += squareCount(knights);
        evasions = knights;
    }
    if (const SquareSet pawns = PAWN_ATTACKERS[them][kingBit] & enemies[PAWN]; pawns != 0) {
        checkers += squareCount(pawns);
        evasions = pawns;
    }
    facts.inCheck = checkers != 0;
    facts.evasions = checkers == 0 ? EVERY_SQUARE : checkers == 1 ? evasions : 0;
    facts.allowed = facts.evasions & ~facts.own;
    return facts;
}

// The counter is built twice: a processor with a population-count
// instruction runs the copy that counts squares with it.
MoveCounts Board::countLegalMoves() { return HAS_POPULATION_COUNT ? countWithPopulationCount() : count(); }

WITH_POPULATION_COUNT MoveCounts Board::countWithPopulationCount() { return count(); }

[[gnu::always_inline]] inline MoveCounts Board::count() {
    MoveCounts counts;
    if (isDraw()) return counts;
    const CountingFacts facts = countingFacts();
    // In generation order, so that captured pieces reach the ends of their
    // lists in the order the walk that makes every move sends them there.
    counts.moves += countPawnMoves(facts);
    counts.moves += countPieceMoves<KNIGHT>(facts);
    counts.moves += countPieceMoves<BISHOP>(facts);
    counts.moves += countPieceMoves<ROOK>(facts);
    counts.moves += countPieceMoves<QUEEN>(facts);
    counts.moves += countKingMoves(facts);
    if (!facts.inCheck) counts.castles = countCastlings(facts);
    counts.moves += counts.castles;

    // En passant captures are rare: the full test plays each on the squares.
    Move enPassant[MAX_EN_PASSANT_CAPTURES];
    const Move* const enPassantEnd = addEnPassantCaptures(enPassant);
    for (const Move* capture = enPassant; capture != enPassantEnd; ++capture)
        counts.passants += pseudoIsLegal(*capture);
    counts.moves += counts.passants;
    return counts;
}

[[gnu::always_inline]] inline int Board::countPawnMoves(const CountingFacts& facts) {
    const int us = turn;
    const int them = us ^ 1;
    const int forward = pawnForward(us);
    const int promotionRow = us == WHITE ? 1 : 6;
    const int startRow = us == WHITE ? 6 : 1;
    const SquareSet pawns = sets.byType[us][PAWN];
    const SquareSet empty = ~facts.occupied;
    const SquareSet onPromotionRow = pawns & rowSet(promotionRow);
    const PieceList& list = pieceList[pieceCode(us, PAWN)];

    // The advances and captures of all pawns at once.
    const SquareSet towardsA = pawnStep(pawns & ~FILE_A, us, -1) & facts.enemy;
    const SquareSet towardsH = pawnStep(pawns & ~FILE_H, us, 1) & facts.enemy;
    // Each captured piece goes to the end of its list in generation order.
    if ((towardsA | towardsH) != 0) {
        for (int i = 0; i < list.count; ++i) {
            const int from = list.squares[i];
            if (fileOf(from) != 0 && colorBoard[from + forward - 1] == them) listSendToEnd(from + forward - 1);
            if (fileOf(from) != 7 && colorBoard[from + forward + 1] == them) listSendToEnd(from + forward + 1);
        }
    }

    if ((facts.pinned & pawns) == 0 && onPromotionRow == 0) {
        const SquareSet oneStep = pawnStep(pawns, us, 0) & empty;
        const SquareSet twoSteps = pawnStep(oneStep & rowSet(startRow + (forward > 0 ? 1 : -1)), us, 0) & empty;
        // Advances reach empty squares, captures enemy ones: only the two
        // captures can share a square.
        return squareCount((oneStep | twoSteps | towardsA) & facts.evasions) + squareCount(towardsH & facts.evasions);
    }

    // A pinned pawn or one about to promote is counted on its own; a pawn
    // with a legal promotion goes to the end of its own list once the loop
    // over that list is done.
    int promoted[8];
    int promotions = 0;
    int count = 0;
    for (int i = 0; i < list.count; ++i) {
        const int from = list.squares[i];
        const int file = fileOf(from);
        const SquareSet targets = facts.targets(from);
        const auto allowed = [&](int to) { return (targets & bitOf(to)) != 0; };
        int moves = 0;
        if (file != 0 && colorBoard[from + forward - 1] == them) moves += allowed(from + forward - 1);
        if (file != 7 && colorBoard[from + forward + 1] == them) moves += allowed(from + forward + 1);
        if (colorBoard[from + forward] == EMPTY) {
            moves += allowed(from + forward);
            if (rowOf(from) == startRow && colorBoard[from + 2 * forward] == EMPTY)
                moves += allowed(from + 2 * forward);
        }
        if (rowOf(from) == promotionRow) {
            // Each step to the last row is four promotions.
            moves *= 4;
            if (moves != 0) promoted[promotions++] = from;
        }
        count += moves;
    }
    for (int i = 0; i < promotions; ++i) listSendToEnd(promoted[i]);
    return count;
}

template <int type>
[[gnu::always_inline]] inline int Board::countPieceMoves(const CountingFacts& facts) {
    const SquareSet occupied = facts.occupied;
    const PieceList& list = pieceList[pieceCode(turn, type)];
    int count = 0;
    for (int i = 0; i < list.count; ++i) {
        const int from = list.squares[i];
        const int bit = bitIndex(from);
        const SquareSet reach = pieceReach<type>(bit, occupied);
        // Each captured piece goes to the end of its list in generation order:
        // a knight's steps, and so its victims, come in the order of their
        // squares, as does a lone victim; a slider's several victims come
        // in the order of its steps.
        if (const SquareSet victims = reach & facts.enemy; victims != 0) {
            if (type == KNIGHT || (victims & (victims - 1)) == 0) {
                for (SquareSet left = victims; left != 0; left &= left - 1)
                    listSendToEnd(squareOfBit(std::countr_zero(left)));
            } else {
                for (int d = 0; d < PIECE_STEP_COUNT[type]; ++d)
                    if (const SquareSet victim = slide(PIECE_STEPS[type][d], bit, occupied) & facts.enemy; victim != 0)
                        listSendToEnd(squareOfBit(std::countr_zero(victim)));
            }
        }
        count += squareCount(reach & facts.targets(from));
    }
    return count;
}

[[gnu::always_inline]] inline int Board::countKingMoves(const CountingFacts& facts) {
    const int from = facts.king;
    const SquareSet reach = STEP_REACH<KING>[bitIndex(from)] & ~facts.own;
    // Each captured piece goes to the end of its list in generation order.
    if ((reach & facts.enemy) != 0)
        for (const int step : PIECE_STEPS[KING])
            if (const int to = from + step; onBoard(to) && colorBoard[to] == (turn ^ 1)) listSendToEnd(to);
    const SquareSet withoutKing = facts.occupied & ~bitOf(from);
    int count = 0;
    for (SquareSet targets = reach; targets != 0; targets &= targets - 1)
        count += !squareAttacked(std::countr_zero(targets), turn ^ 1, sets.byType[turn ^ 1], withoutKing);
    return count;
}

int Board::countCastlings(const CountingFacts& facts) {
    // Each colour has two rights, its king side's first.
    constexpr int RIGHTS_PER_COLOR = 2;
    static_assert(CASTLING_RIGHTS[0].color == WHITE && CASTLING_RIGHTS[1].color == WHITE &&
                  CASTLING_RIGHTS[2].color == BLACK && CASTLING_RIGHTS[3].color == BLACK);
    const SquareSet occupied = facts.occupied;
    int count = 0;
    for (int i = RIGHTS_PER_COLOR * turn; i < RIGHTS_PER_COLOR * (turn + 1); ++i) {
        const CastlingRight& right = CASTLING_RIGHTS[i];
        if ((state.castling & right.bit) != 0 && (CASTLING_PATHS[i] & occupied) == 0)
            count += !squareAttacked(bitIndex(right.mustBeSafe[0]), turn ^ 1, sets.byType[turn ^ 1], occupied) &&
                     !squareAttacked(bitIndex(right.mustBeSafe[1]), turn ^ 1, sets.byType[turn ^ 1], occupied);
    }
    return count;
}
