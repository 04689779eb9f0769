#include "eval/evaluator.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "eval/tables.h"

namespace {

// The pawnRank entry of a file that holds no pawn of the colour.
constexpr int NO_PAWN = 7;

// Calls visit(square) for every piece of one colour and type, in list order.
template <typename Visit>
void forEachSquare(const Board& board, int color, int type, Visit visit) {
    const PieceList& list = board.pieces(color, type);
    for (int i = 0; i < list.count; ++i) visit(list.squares[i]);
}

// eval::pieceSquareValue by colour, type and bit index of the square.
constexpr auto PIECE_SQUARE_BY_BIT = [] {
    std::array<std::array<std::array<Score, 64>, 6>, 2> table{};
    for (const int color : {WHITE, BLACK})
        for (int type = PAWN; type <= KING; ++type)
            for (int square = 0; square < 128; ++square)
                if (onBoard(square))
                    table[color][type][eval::bitIndex(square)] = eval::pieceSquareValue(type, color, square);
    return table;
}();

}  // namespace

int Evaluator::getRating(int side) {
    reset();
    // The pawn and king facts of both colours must be complete before any
    // term reads the opponent's.
    for (const int color : {WHITE, BLACK}) addMaterialAndFacts(color);
    for (const int color : {WHITE, BLACK}) addPositionalTerms(color);

    state.phase = std::min(state.phase, MAX_PHASE);

    sumUp(WHITE);
    sumUp(BLACK);
    return state.side[side].tapered - state.side[side ^ 1].tapered;
}

int Evaluator::numMajorMinor(int side) const {
    int count = 0;
    for (int type = KNIGHT; type <= QUEEN; ++type) count += board.pieces(side, type).count;
    return count;
}

void Evaluator::reset() {
    for (auto& ranks : pawnRank) std::ranges::fill(ranks, NO_PAWN);
    state.side[WHITE] = SideTerms{};
    state.side[BLACK] = SideTerms{};
    state.phase = 0;
}

// Material, piece-square value and phase, and the pawn and king facts the
// terms of both colours read.
void Evaluator::addMaterialAndFacts(int side) {
    SideTerms& terms = state.side[side];
    eval::SquareSet own = 0;
    eval::SquareSet pawns = 0;
    for (int type = PAWN; type <= KING; ++type) {
        const PieceList& list = board.pieces(side, type);
        terms.material += Score::both(eval::MATERIAL_VALUE[type] * list.count);
        state.phase += eval::PHASE_WEIGHT[type] * list.count;
        for (int i = 0; i < list.count; ++i) {
            const int bit = eval::bitIndex(list.squares[i]);
            terms.pieceSquare += PIECE_SQUARE_BY_BIT[side][type][bit];
            own |= eval::SquareSet{1} << bit;
        }
        // Pawns come first, so the squares gathered so far are the pawns'.
        if (type == PAWN) pawns = own;
    }
    occupied[side] = own;
    forEachSquare(board, side, PAWN, [&](int square) {
        int& rearmost = pawnRank[side][fileOf(square) + 1];
        rearmost = std::min(rearmost, eval::relativeRank(square, side));
    });
    pawnControl[side] = eval::pawnAttacks(pawns, side);
    kingRing[side] = eval::KING_RING[side][eval::bitIndex(board.kingSquare(side))];
}

// Pawn structure, king shelter, mobility with the attack on the enemy king,
// and rook files.
void Evaluator::addPositionalTerms(int side) {
    SideTerms& terms = state.side[side];
    forEachSquare(board, side, PAWN, [&](int square) { terms.pawnStructure += Score::both(evalPawn(square, side)); });
    const eval::SquareSet all = occupied[WHITE] | occupied[BLACK];
    forEachSquare(board, side, KNIGHT,
                  [&](int square) { addMobility(KNIGHT, side, eval::KNIGHT_REACH[eval::bitIndex(square)]); });
    forEachSquare(board, side, BISHOP,
                  [&](int square) { addMobility(BISHOP, side, eval::bishopReach(eval::bitIndex(square), all)); });
    forEachSquare(board, side, ROOK, [&](int square) {
        addMobility(ROOK, side, eval::rookReach(eval::bitIndex(square), all));
        terms.rookBonus += Score::both(evalRook(square, side));
    });
    forEachSquare(board, side, QUEEN, [&](int square) {
        const int from = eval::bitIndex(square);
        addMobility(QUEEN, side, eval::bishopReach(from, all) | eval::rookReach(from, all));
    });
    terms.kingSafety += Score{evalKing(board.kingSquare(side), side), 0};
}

int Evaluator::evalPawn(int square, int side) const {
    const int file = fileOf(square) + 1;
    const int rank = eval::relativeRank(square, side);
    const int* own = pawnRank[side];
    const int* enemy = pawnRank[side ^ 1];
    int score = 0;
    // Of a doubled pair only the front pawn pays.
    if (own[file] < rank) score += eval::DOUBLED_PAWN;
    if (own[file - 1] == NO_PAWN && own[file + 1] == NO_PAWN) {
        score += eval::ISOLATED_PAWN;
    } else if (own[file - 1] > rank && own[file + 1] > rank) {
        // No own pawn on a neighbouring file stands level with it or behind it.
        score += eval::BACKWARD_PAWN;
    }
    // An enemy pawn of relative rank e stands on this side's relative rank
    // 7 - e; the pawn is passed when none stands strictly ahead of it on its
    // own or a neighbouring file. Level with it on a neighbouring file is fine.
    const auto clear = [enemy, rank](int f) { return enemy[f] + rank >= 7; };
    if (clear(file - 1) && clear(file) && clear(file + 1)) score += eval::PASSED_PAWN_PER_RANK * rank;
    return score;
}

// Counts the squares the piece reaches, except empty ones an enemy pawn
// guards, and weighs every square of the enemy king's ring it reaches. A
// piece reaches along its steps up to the first piece of either colour, and
// its own pieces' squares do not count; there are no x-rays.
void Evaluator::addMobility(int piece, int side, eval::SquareSet reach) {
    const int enemy = side ^ 1;
    reach &= ~occupied[side];
    const int counted = eval::squareCount(reach & (occupied[enemy] | ~pawnControl[enemy]));
    const int ringSquares = eval::squareCount(reach & kingRing[enemy]);
    SideTerms& terms = state.side[side];
    terms.mobility += eval::MOBILITY_WEIGHT[piece] * counted;
    terms.attackWeightSum += eval::ATTACK_WEIGHT[piece] * ringSquares;
    if (ringSquares > 0) ++terms.attackerCount;
}

int Evaluator::evalRook(int square, int side) const {
    const int file = fileOf(square) + 1;
    if (pawnRank[side][file] != NO_PAWN) return 0;
    return pawnRank[side ^ 1][file] == NO_PAWN ? eval::ROOK_OPEN_FILE : eval::ROOK_SEMI_OPEN_FILE;
}

// A king on a wing is judged by the pawns of its wing, the file nearest the
// centre at half weight; a king in the centre by the pawnless files around it.
// The king's rank does not matter.
int Evaluator::evalKing(int square, int side) const {
    const int file = fileOf(square);
    const auto shieldStorm = [this, side](int f) { return evalPawnShieldStorm(f + 1, side); };
    if (file <= 2) return shieldStorm(0) + shieldStorm(1) + shieldStorm(2) / 2;
    if (file >= 5) return shieldStorm(7) + shieldStorm(6) + shieldStorm(5) / 2;
    int score = 0;
    // The pawnRank indices of the king's file and its two neighbours.
    for (int index = file; index <= file + 2; ++index)
        if (pawnRank[WHITE][index] == NO_PAWN && pawnRank[BLACK][index] == NO_PAWN)
            score += eval::KING_OPEN_CENTRE_FILE;
    return score;
}

int Evaluator::evalPawnShieldStorm(int fileIndex, int side) const {
    return eval::KING_SHIELD[pawnRank[side][fileIndex]] + eval::PAWN_STORM[pawnRank[side ^ 1][fileIndex]];
}

void Evaluator::sumUp(int side) {
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
