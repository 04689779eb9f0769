#include "eval/pawn_table.h"

#include <bit>

#include "core/types.h"
#include "eval/tables.h"

namespace eval {

namespace {

// The rank rearmostPawnRank gives a file without a pawn of the colour.
constexpr int NO_PAWN = 7;

// Multipliers that spread the two pawn sets over the index bits.
constexpr std::uint64_t WHITE_MIX = 0x9E3779B97F4A7C15ULL;
constexpr std::uint64_t BLACK_MIX = 0xC2B2AE3D27D4EB4FULL;

// Doubled, isolated, backward and passed pawns of the colour, each counted
// over the set of its pawns at once.
int pawnStructure(const SquareSet (&pawns)[2], int side) {
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
int rearmostPawnRank(const SquareSet (&pawns)[2], int color, int file) {
    const SquareSet onFile = pawns[color] & fileSet(file);
    if (onFile == 0) return NO_PAWN;
    // White's rearmost pawn has the highest bit (the lowest rank), black's the lowest.
    const int bit = color == WHITE ? 63 - std::countl_zero(onFile) : std::countr_zero(onFile);
    return relativeRankOfBit(bit, color);
}

int shieldAndStorm(const SquareSet (&pawns)[2], int file, int side) {
    return KING_SHIELD[rearmostPawnRank(pawns, side, file)] + PAWN_STORM[rearmostPawnRank(pawns, side ^ 1, file)];
}

// A king on a wing is judged by the pawns of its wing, the file nearest the
// centre at half weight; a king in the centre by the pawnless files around it.
// The king's rank does not matter.
int kingShelter(const SquareSet (&pawns)[2], KingZone zone, int side) {
    switch (zone) {
        case QUEEN_WING:
            return shieldAndStorm(pawns, 0, side) + shieldAndStorm(pawns, 1, side) + shieldAndStorm(pawns, 2, side) / 2;
        case KING_WING:
            return shieldAndStorm(pawns, 7, side) + shieldAndStorm(pawns, 6, side) + shieldAndStorm(pawns, 5, side) / 2;
        default: break;
    }
    const int file = zone == D_FILE ? 3 : 4;
    int score = 0;
    for (int open = file - 1; open <= file + 1; ++open)
        if (((pawns[WHITE] | pawns[BLACK]) & fileSet(open)) == 0) score += KING_OPEN_CENTRE_FILE;
    return score;
}

}  // namespace

// A white and a black pawn never share a square, so the first probe of every
// slot misses.
PawnTable::PawnTable() : entries(std::size_t{1} << INDEX_BITS, PawnEntry{{~SquareSet{0}, ~SquareSet{0}}, {}, {}}) {}

const PawnEntry& PawnTable::probe(SquareSet whitePawns, SquareSet blackPawns) {
    const std::uint64_t mixed = whitePawns * WHITE_MIX + blackPawns * BLACK_MIX;
    PawnEntry& entry = entries[mixed >> (64 - INDEX_BITS)];
    if (entry.pawns[WHITE] == whitePawns && entry.pawns[BLACK] == blackPawns) return entry;

    entry.pawns[WHITE] = whitePawns;
    entry.pawns[BLACK] = blackPawns;
    for (const int side : {WHITE, BLACK}) {
        entry.structure[side] = static_cast<std::int16_t>(pawnStructure(entry.pawns, side));
        for (int zone = QUEEN_WING; zone < KING_ZONES; ++zone)
            entry.shelter[side][zone] = static_cast<std::int16_t>(kingShelter(entry.pawns, KingZone(zone), side));
    }
    return entry;
}

}  // namespace eval
