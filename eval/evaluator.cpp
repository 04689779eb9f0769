#include "eval/evaluator.h"

#include <algorithm>
#include <array>
#include <bit>
#include <iterator>

#include "core/processor.h"
#include "eval/tables.h"

namespace {

// The king's piece-square values by colour and 0x88 square.
constexpr auto KING_SQUARE_BY_SQUARE = [] {
    std::array<std::array<Score, 128>, 2> table{};
    for (const int color : {WHITE, BLACK})
        for (int square = 0; square < 128; ++square)
            if (onBoard(square)) table[color][square] = eval::pieceSquareValue(KING, color, square);
    return table;
}();

}  // namespace

// Every term is inlined into each copy.
[[gnu::always_inline]] inline int Evaluator::rate(int side) {
    reset();
    // The pawn and king facts of both colours must be complete before any
    // term reads the opponent's.
    for (const int color : {WHITE, BLACK}) addMaterialAndFacts(color);
    pawnTerms = &pawnTable.probe(pawns[WHITE], pawns[BLACK]);
    for (const int color : {WHITE, BLACK}) addPositionalTerms(color);

    state.phase = std::min(state.phase, MAX_PHASE);

    sumUp(WHITE);
    sumUp(BLACK);
    return state.side[side].tapered - state.side[side ^ 1].tapered;
}

// The rating is built twice: a processor with a population-count instruction
// runs the copy that counts squares with it, any other the portable one.
int Evaluator::getRating(int side) { return HAS_POPULATION_COUNT ? rateWithPopulationCount(side) : rate(side); }

WITH_POPULATION_COUNT int Evaluator::rateWithPopulationCount(int side) { return rate(side); }

int Evaluator::numMajorMinor(int side) const {
    int count = 0;
    for (int type = KNIGHT; type <= QUEEN; ++type) count += board.pieces(side, type).count;
    return count;
}

[[gnu::always_inline]] inline void Evaluator::reset() {
    state.side[WHITE] = SideTerms{};
    state.side[BLACK] = SideTerms{};
    state.phase = 0;
}

// Material, piece-square value and phase, and the pawn and king facts the
// terms of both colours read.
[[gnu::always_inline]] inline void Evaluator::addMaterialAndFacts(int side) {
    SideTerms& terms = state.side[side];
    int material = 0;
    for (int type = PAWN; type < KING; ++type) {
        const int count = board.pieces(side, type).count;
        material += eval::MATERIAL_VALUE[type] * count;
        state.phase += eval::PHASE_WEIGHT[type] * count;
    }
    const int king = board.kingSquare(side);
    terms.material = Score::both(material);
    // The board keeps the sum of the other pieces; only the king's value
    // differs between the phases.
    terms.pieceSquare = Score::both(board.pieceSquareSum(side)) + KING_SQUARE_BY_SQUARE[side][king];
    const PieceSets& sets = board.pieceSets();
    occupied[side] = sets.all[side];
    pawns[side] = sets.byType[side][PAWN];
    pawnControl[side] = eval::pawnAttacks(pawns[side], side);
    kingRing[side] = eval::KING_RING[side][eval::bitIndex(king)];
}

// Pawn structure, king shelter, mobility with the attack on the enemy king,
// and rook files.
[[gnu::always_inline]] inline void Evaluator::addPositionalTerms(int side) {
    SideTerms& terms = state.side[side];
    terms.pawnStructure = Score::both(pawnTerms->structure[side]);
    const eval::SquareSet all = occupied[WHITE] | occupied[BLACK];
    addPieceTerms<KNIGHT>(side, all);
    addPieceTerms<BISHOP>(side, all);
    addPieceTerms<ROOK>(side, all);
    addPieceTerms<QUEEN>(side, all);
    terms.kingSafety = Score{pawnTerms->shelter[side][eval::KING_ZONE_OF_FILE[fileOf(board.kingSquare(side))]], 0};
}

// The mobility and king attack of every piece of the type, and the file
// bonus of rooks; all holds the squares of both colours' pieces.
template <int piece>
[[gnu::always_inline]] inline void Evaluator::addPieceTerms(int side, eval::SquareSet all) {
    const PieceList& list = board.pieces(side, piece);
    for (int i = 0; i < list.count; ++i) {
        const int square = list.squares[i];
        const int from = eval::bitIndex(square);
        if constexpr (piece == KNIGHT) addMobility<KNIGHT>(side, eval::KNIGHT_REACH[from]);
        if constexpr (piece == BISHOP) addMobility<BISHOP>(side, eval::bishopReach(from, all));
        if constexpr (piece == ROOK) {
            addMobility<ROOK>(side, eval::rookReach(from, all));
            state.side[side].rookBonus += Score::both(evalRook(square, side));
        }
        if constexpr (piece == QUEEN) addMobility<QUEEN>(side, eval::queenReach(from, all));
    }
}

// Counts the squares the piece reaches, except empty ones an enemy pawn
// guards, and weighs every square of the enemy king's ring it reaches. A
// piece reaches along its steps up to the first piece of either colour, and
// its own pieces' squares do not count; there are no x-rays.
template <int piece>
[[gnu::always_inline]] inline void Evaluator::addMobility(int side, eval::SquareSet reach) {
    const int enemy = side ^ 1;
    reach &= ~occupied[side];
    SideTerms& terms = state.side[side];
    terms.mobility += eval::MOBILITY_WEIGHT[piece] * eval::squareCount(reach & (occupied[enemy] | ~pawnControl[enemy]));
    // Most pieces reach no square of the enemy king's ring.
    const eval::SquareSet ring = reach & kingRing[enemy];
    if (ring == 0) return;
    terms.attackWeightSum += eval::ATTACK_WEIGHT[piece] * eval::squareCount(ring);
    ++terms.attackerCount;
}

[[gnu::always_inline]] inline int Evaluator::evalRook(int square, int side) const {
    const eval::SquareSet file = eval::fileSet(fileOf(square));
    if ((pawns[side] & file) != 0) return 0;
    return (pawns[side ^ 1] & file) == 0 ? eval::ROOK_OPEN_FILE : eval::ROOK_SEMI_OPEN_FILE;
}

[[gnu::always_inline]] inline void Evaluator::sumUp(int side) {
    SideTerms& terms = state.side[side];
    if (terms.attackerCount >= 2) {
        // Sums beyond the table, possible only with several extra queens, read its last entry.
        const int index = std::min(terms.attackWeightSum, static_cast<int>(std::size(eval::SAFETY_TABLE)) - 1);
        terms.attackScore = Score::both(eval::SAFETY_TABLE[index]);
    }
    terms.total = terms.material + terms.pieceSquare + terms.pawnStructure + terms.kingSafety + terms.mobility +
                  terms.attackScore + terms.rookBonus;
    terms.tapered = taper(terms.total, state.phase);
}
