#include "eval/evaluator.h"

#include <algorithm>
#include <array>
#include <bit>
#include <iterator>

#include "eval/tables.h"
#include "platform/processor.h"

namespace {

// The king's piece-square values by colour and 0x88 square.
constexpr auto KING_SQUARE_BY_SQUARE = [] {
    std::array<std::array<Score, 128>, 2> table{};
    for (const int color : {WHITE, BLACK})
        for (int square = 0; square < 128; ++square)
            if (onBoard(square)) table[color][square] = eval::kingSquareValue(color, square);
    return table;
}();

// What the terms of a colour read of the board: the squares of its pieces
// and of its pawns, the ring around its king (eval::KING_RING) and the
// king's square.
struct ColorFacts {
    eval::SquareSet occupied;
    eval::SquareSet pawns;
    eval::SquareSet kingRing;
    int king;
};

template <int color>
[[gnu::always_inline]] inline ColorFacts gatherFacts(const Board& board) {
    const PieceSets& sets = board.pieceSets();
    const int king = board.kingSquare(color);
    return {sets.all[color], sets.byType[color][PAWN], eval::KING_RING[color][eval::bitIndex(king)], king};
}

// Material and piece-square value. Returns their sum; adds the colour's share
// of the phase to phase. The board keeps the sums of the pieces' values; only
// the king's square value differs between the phases. The report alone needs
// the material apart, counted from the piece lists.
template <int color, bool recordTerms>
[[gnu::always_inline]] inline Score addMaterial(const Board& board, int king, SideTerms& terms, int& phase) {
    phase += board.phaseSum(color);
    const Score kingSquare = KING_SQUARE_BY_SQUARE[color][king];
    const int pieceValues = board.pieceValueSum(color);
    if constexpr (recordTerms) {
        int material = 0;
        for (int type = PAWN; type < KING; ++type)
            material += eval::MATERIAL_VALUE[type] * board.pieces(color, type).count;
        terms.material = Score::both(material);
        terms.pieceSquare = Score::both(pieceValues - material) + kingSquare;
    }
    return Score::both(pieceValues) + kingSquare;
}

// Two sums kept in one int, to spare registers in the loops over the pieces:
// the first below bit 16, the second from bit 16 up. Both are non-negative
// and stay below 2^12 for a colour's pieces (at most 16 of each type, a piece
// reaching at most 27 squares and at most the eleven squares of a king's
// ring), so neither spills into the other.
constexpr int HIGH_HALF = 16;
constexpr int LOW_HALF_MASK = (1 << HIGH_HALF) - 1;

// A colour's mobility and king attack, summed over its pieces.
struct Activity {
    int mobility = 0;  // middlegame points, then endgame points
    int attack = 0;    // the attack weights, then the attackers
};

// Counts the squares of area the piece reaches, and weighs the squares of
// ringTargets (the enemy king's ring less the own pieces' squares) it
// reaches. A piece reaches along its steps up to the first piece of either
// colour, and its own pieces' squares do not count; there are no x-rays.
template <int piece>
[[gnu::always_inline]] inline void addMobility(eval::SquareSet reach, eval::SquareSet area, eval::SquareSet ringTargets,
                                               Activity& activity) {
    constexpr int weights = eval::MOBILITY_WEIGHT[piece].mg + (eval::MOBILITY_WEIGHT[piece].eg << HIGH_HALF);
    activity.mobility += weights * eval::squareCount(reach & area);
    // Most pieces reach no square of the enemy king's ring.
    const eval::SquareSet ring = reach & ringTargets;
    if (ring == 0) return;
    activity.attack += eval::ATTACK_WEIGHT[piece] * eval::squareCount(ring) + (1 << HIGH_HALF);
}

// The file bonus of the rooks: those on a file without an own pawn earn the
// semi-open bonus, and those on a file without any pawn the open one.
template <int color>
[[gnu::always_inline]] inline int evalRooks(eval::SquareSet rooks, const eval::PawnEntry& pawnTerms) {
    const int onSemiOpen = eval::squareCount(rooks & eval::fileSetOf(pawnTerms.filesWithoutOwnPawn[color]));
    const int onOpen = eval::squareCount(rooks & eval::fileSetOf(pawnTerms.filesWithoutPawn));
    return eval::ROOK_SEMI_OPEN_FILE * onSemiOpen + (eval::ROOK_OPEN_FILE - eval::ROOK_SEMI_OPEN_FILE) * onOpen;
}

// Pawn structure, king shelter, mobility with the attack on the enemy king,
// and rook files; all holds the squares of both colours' pieces. Returns
// their sum.
template <int color>
[[gnu::always_inline]] inline Score addPositionalTerms(const PieceSets& sets, const ColorFacts& own,
                                                       const ColorFacts& enemy, eval::SquareSet all,
                                                       const eval::PawnEntry& pawnTerms, SideTerms& terms) {
    // Squares count for mobility unless an own piece stands there or they are
    // empty and an enemy pawn guards them.
    const eval::SquareSet area = ~own.occupied & (enemy.occupied | ~pawnTerms.pawnControl[color ^ 1]);
    const eval::SquareSet ringTargets = enemy.kingRing & ~own.occupied;
    Activity activity;
    for (eval::SquareSet set = sets.byType[color][KNIGHT]; set != 0; set &= set - 1)
        addMobility<KNIGHT>(eval::STEP_REACH<KNIGHT>[std::countr_zero(set)], area, ringTargets, activity);
    for (eval::SquareSet set = sets.byType[color][BISHOP]; set != 0; set &= set - 1)
        addMobility<BISHOP>(eval::bishopReach(std::countr_zero(set), all), area, ringTargets, activity);
    for (eval::SquareSet set = sets.byType[color][ROOK]; set != 0; set &= set - 1)
        addMobility<ROOK>(eval::rookReach(std::countr_zero(set), all), area, ringTargets, activity);
    for (eval::SquareSet set = sets.byType[color][QUEEN]; set != 0; set &= set - 1)
        addMobility<QUEEN>(eval::queenReach(std::countr_zero(set), all), area, ringTargets, activity);

    terms.pawnStructure = Score::both(pawnTerms.structure[color]);
    terms.kingSafety = Score{pawnTerms.shelter[color][eval::KING_ZONE_OF_FILE[fileOf(own.king)]], 0};
    terms.mobility = Score{activity.mobility & LOW_HALF_MASK, activity.mobility >> HIGH_HALF};
    const int attackWeightSum = activity.attack & LOW_HALF_MASK;
    const int attackerCount = activity.attack >> HIGH_HALF;
    terms.attackWeightSum = attackWeightSum;
    terms.attackerCount = attackerCount;
    // The attack on the king counts once two pieces join it.
    Score attackScore;
    if (attackerCount >= 2) {
        // Sums beyond the table, possible only with several extra queens, read its last entry.
        const int index = std::min(attackWeightSum, static_cast<int>(std::size(eval::SAFETY_TABLE)) - 1);
        attackScore = Score::both(eval::SAFETY_TABLE[index]);
    }
    terms.attackScore = attackScore;
    terms.rookBonus = Score::both(evalRooks<color>(sets.byType[color][ROOK], pawnTerms));
    return terms.pawnStructure + terms.kingSafety + terms.mobility + attackScore + terms.rookBonus;
}

// The total of the terms and its blend by the phase.
[[gnu::always_inline]] inline int sumUp(SideTerms& terms, Score total, int phase) {
    terms.total = total;
    terms.tapered = taper(total, phase);
    return terms.tapered;
}

}  // namespace

// Every term is inlined into each copy. Each term is stored once, from
// local sums, and no term is read back: a copy that does not record the
// terms stores them into a local the compiler leaves out.
template <bool recordTerms>
[[gnu::always_inline]] inline int Evaluator::rate(int side) {
    EvalState scratch;
    EvalState& terms = recordTerms ? state : scratch;
    // The pawn and king facts of both colours must be complete before any
    // term reads the opponent's.
    const ColorFacts whiteFacts = gatherFacts<WHITE>(board);
    const ColorFacts blackFacts = gatherFacts<BLACK>(board);
    const eval::PawnEntry& pawnTerms = pawnTable.probe(whiteFacts.pawns, blackFacts.pawns);
    const eval::SquareSet all = board.pieceSets().occupied();
    SideTerms& white = terms.side[WHITE];
    SideTerms& black = terms.side[BLACK];
    const Score whitePositional =
        addPositionalTerms<WHITE>(board.pieceSets(), whiteFacts, blackFacts, all, pawnTerms, white);
    const Score blackPositional =
        addPositionalTerms<BLACK>(board.pieceSets(), blackFacts, whiteFacts, all, pawnTerms, black);
    int phase = 0;
    const Score whiteMaterial = addMaterial<WHITE, recordTerms>(board, whiteFacts.king, white, phase);
    const Score blackMaterial = addMaterial<BLACK, recordTerms>(board, blackFacts.king, black, phase);
    phase = std::min(phase, MAX_PHASE);
    terms.phase = phase;
    const int whiteTapered = sumUp(white, whiteMaterial + whitePositional, phase);
    const int blackTapered = sumUp(black, blackMaterial + blackPositional, phase);
    return side == WHITE ? whiteTapered - blackTapered : blackTapered - whiteTapered;
}

// The rating is built twice: a processor with a population-count instruction
// runs the copy that counts squares with it, any other the portable one.
int Evaluator::getRating(int side) { return HAS_POPULATION_COUNT ? rateWithPopulationCount(side) : ratePortable(side); }

// Kept apart so that getRating only picks a copy.
[[gnu::noinline]] int Evaluator::ratePortable(int side) { return rate<false>(side); }

WITH_POPULATION_COUNT int Evaluator::rateWithPopulationCount(int side) { return rate<false>(side); }

// The report is rare: the portable copy records its terms.
const EvalState& Evaluator::terms() {
    static_cast<void>(rate<true>(WHITE));
    return state;
}

int Evaluator::numMajorMinor(int side) const {
    int count = 0;
    for (int type = KNIGHT; type <= QUEEN; ++type) count += board.pieces(side, type).count;
    return count;
}
