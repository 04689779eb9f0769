#include "eval/pawn_table.h"

#include <bit>

#include "core/types.h"
#include "eval/tables.h"

namespace eval {

namespace {

// The rank rearmostPawnRank gives a file without a pawn of the colour.
constexpr int NO_PAWN = 7;

// Doubled, isolated, backward and passed pawns of the colour, each counted
// over the set of its pawns at once; built once per colour.
template <int side>
int pawnStructure(const SquareSet (&pawns)[2]) {
    const SquareSet own = pawns[side];
    const SquareSet ownFiles = fillAhead(fillAhead(own, side ^ 1), side);
    // Of a doubled pair only the front pawn pays.
    const SquareSet doubled = own & fillAhead(oneAhead(own, side), side);
    const SquareSet isolated = own & ~beside(ownFiles);
    // Backward: no own pawn on a neighbouring file stands level with it or behind it.
    const SquareSet backward = own & beside(ownFiles) & ~beside(fillAhead(own, side));
    // Passed: no enemy pawn strictly ahead on its own or a neighbouring file;
    // one level with it on a neighbouring file is fine.
    const SquareSet enemyShadow = fillAhead(oneAhead(pawns[side ^ 1], side ^ 1), side ^ 1);
    SquareSet passed = own & ~(enemyShadow | beside(enemyShadow));
    int passedRanks = 0;
    for (; passed != 0; passed &= passed - 1) passedRanks += relativeRankOfBit(std::countr_zero(passed), side);
    return DOUBLED_PAWN * squareCount(doubled) + ISOLATED_PAWN * squareCount(isolated) +
           BACKWARD_PAWN * squareCount(backward) + PASSED_PAWN_PER_RANK * passedRanks;
}

// The relative rank of the colour's rearmost pawn on the file, or NO_PAWN
// when it has none there.
[[gnu::always_inline]] inline int rearmostPawnRank(SquareSet pawns, int color, int file) {
    const SquareSet onFile = pawns & fileSet(file);
    if (onFile == 0) return NO_PAWN;
    // White's rearmost pawn has the highest bit (the lowest rank), black's the lowest.
    const int bit = color == WHITE ? 63 - std::countl_zero(onFile) : std::countr_zero(onFile);
    return relativeRankOfBit(bit, color);
}

// The files a wing king's shelter reads: those of the queen's wing, then
// those of the king's wing, the file nearest the centre last.
constexpr int WING_FILES[2][3] = {{0, 1, 2}, {7, 6, 5}};

// A king on a wing is judged by the pawns of its wing, the file nearest the
// centre at half weight; a king in the centre by the pawnless files around it.
// The king's rank does not matter. Each colour's rearmost pawn on each wing
// file is found once and serves as the shield of its own king and the storm
// against the other.
void kingShelters(const SquareSet (&pawns)[2], std::int16_t (&shelter)[2][KING_ZONES]) {
    int rearmost[2][2][3];  // by colour, wing and file of the wing
    for (const int color : {WHITE, BLACK})
        for (const int wing : {0, 1})
            for (int i = 0; i < 3; ++i)
                rearmost[color][wing][i] = rearmostPawnRank(pawns[color], color, WING_FILES[wing][i]);
    const SquareSet anyPawn = pawns[WHITE] | pawns[BLACK];
    int centre[2] = {0, 0};  // a king on the d-file, on the e-file
    for (const int zone : {0, 1})
        for (int open = 2 + zone; open <= 4 + zone; ++open)
            if ((anyPawn & fileSet(open)) == 0) centre[zone] += KING_OPEN_CENTRE_FILE;
    for (const int side : {WHITE, BLACK}) {
        int wingScore[2];
        for (const int wing : {0, 1}) {
            int shieldAndStorm[3];
            for (int i = 0; i < 3; ++i)
                shieldAndStorm[i] = KING_SHIELD[rearmost[side][wing][i]] + PAWN_STORM[rearmost[side ^ 1][wing][i]];
            wingScore[wing] = shieldAndStorm[0] + shieldAndStorm[1] + shieldAndStorm[2] / 2;
        }
        shelter[side][QUEEN_WING] = static_cast<std::int16_t>(wingScore[0]);
        shelter[side][D_FILE] = static_cast<std::int16_t>(centre[0]);
        shelter[side][E_FILE] = static_cast<std::int16_t>(centre[1]);
        shelter[side][KING_WING] = static_cast<std::int16_t>(wingScore[1]);
    }
}

}  // namespace

// A white and a black pawn never share a square, so the first probe of every
// slot misses.
PawnTable::PawnTable()
    : entries(std::size_t{1} << INDEX_BITS, PawnEntry{{~SquareSet{0}, ~SquareSet{0}}, {}, {}, {}, {}, 0}) {}

const PawnEntry& PawnTable::fill(PawnEntry& entry, SquareSet whitePawns, SquareSet blackPawns) {
    entry.pawns[WHITE] = whitePawns;
    entry.pawns[BLACK] = blackPawns;
    entry.structure[WHITE] = static_cast<std::int16_t>(pawnStructure<WHITE>(entry.pawns));
    entry.structure[BLACK] = static_cast<std::int16_t>(pawnStructure<BLACK>(entry.pawns));
    kingShelters(entry.pawns, entry.shelter);
    for (const int color : {WHITE, BLACK}) {
        entry.pawnControl[color] = pawnAttacks(entry.pawns[color], color);
        entry.filesWithoutOwnPawn[color] = static_cast<std::uint8_t>(~filesOf(entry.pawns[color]));
    }
    entry.filesWithoutPawn = static_cast<std::uint8_t>(~filesOf(whitePawns | blackPawns));
    return entry;
}

}  // namespace eval
