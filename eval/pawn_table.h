#pragma once

#include <cstdint>
#include <vector>

#include "eval/square_sets.h"

namespace eval {

// Where a king stands, as its shelter term sees it: on the wing of files a
// to c, on the d-file, on the e-file, or on the wing of files f to h.
enum KingZone : std::uint8_t { QUEEN_WING, D_FILE, E_FILE, KING_WING, KING_ZONES };

constexpr KingZone KING_ZONE_OF_FILE[8] = {QUEEN_WING, QUEEN_WING, QUEEN_WING, D_FILE,
                                           E_FILE,     KING_WING,  KING_WING,  KING_WING};

// The terms that depend on the pawns alone, per colour: the pawn structure,
// and the king's shelter and the storm against it for each zone the king
// may stand in; with the squares the pawns attack and the files without
// pawns, which the evaluation reads for mobility and rooks.
struct PawnEntry {
    // The white and black pawns the terms belong to: the whole key, so that
    // an entry never answers for other pawns.
    SquareSet pawns[2];
    SquareSet pawnControl[2];  // the squares each colour's pawns attack
    std::int16_t structure[2];
    std::int16_t shelter[2][KING_ZONES];
    // Bit f stands for file f (fileSetOf): the files without a pawn of the
    // colour, and those without a pawn of either colour.
    std::uint8_t filesWithoutOwnPawn[2];
    std::uint8_t filesWithoutPawn;
};

// The pawn terms of recent pawn structures. Pawns move seldom, so most
// evaluations find their pawns' terms here.
class PawnTable {
public:
    PawnTable();

    // The terms of the pawns, computed on the spot when the table does not
    // hold them. The look-up is inlined into the evaluator; the computation
    // is not.
    [[nodiscard, gnu::always_inline]] const PawnEntry& probe(SquareSet whitePawns, SquareSet blackPawns) {
        PawnEntry& entry = entries[(whitePawns * WHITE_MIX + blackPawns * BLACK_MIX) >> (64 - INDEX_BITS)];
        if (entry.pawns[WHITE] == whitePawns && entry.pawns[BLACK] == blackPawns) [[likely]]
            return entry;
        return fill(entry, whitePawns, blackPawns);
    }

private:
    // Multipliers that spread the two pawn sets over the index bits.
    static constexpr std::uint64_t WHITE_MIX = 0x9E3779B97F4A7C15ULL;
    static constexpr std::uint64_t BLACK_MIX = 0xC2B2AE3D27D4EB4FULL;
    // 2^12 entries of 56 bytes: 224 KiB, small enough to stay in the
    // processor's second-level cache beside the search's cache of scores.
    static constexpr int INDEX_BITS = 12;

    // Computes the terms of the pawns into the entry, which then holds them.
    [[gnu::noinline]] static const PawnEntry& fill(PawnEntry& entry, SquareSet whitePawns, SquareSet blackPawns);

    std::vector<PawnEntry> entries;
};

}  // namespace eval
