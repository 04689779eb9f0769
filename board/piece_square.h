#pragma once

#include <array>

#include "core/types.h"

// What the evaluator counts of each piece apart from the king's square: its
// material, its share of the game phase and its piece-square value (pawns,
// knights, bishops, rooks and queens; the same in the middlegame and the
// endgame). The board keeps each colour's sums of them as its pieces come,
// go and change squares; the evaluator reads the sums and adds the king's
// square value, which differs by phase.

// Material of one piece by piece code; the king counts nothing.
inline constexpr int MATERIAL_VALUE[7] = {100, 325, 335, 500, 975, 0, 0};

// What each piece adds to the game phase: the phase is the sum over both
// colours, at most MAX_PHASE (eval/score.h), which the starting position
// reaches exactly.
inline constexpr int PHASE_WEIGHT[7] = {0, 1, 1, 2, 4, 0, 0};

// The tables are written as white sees the board, rank 8 in the first row and
// file a in the first column; black reads them with the ranks mirrored.
// clang-format off
inline constexpr int PIECE_SQUARE[5][64] = {
    {   0,   0,   0,   0,   0,   0,   0,   0,
       -6,  -4,   1,   1,   1,   1,  -4,  -6,
       -6,  -4,   1,   2,   2,   1,  -4,  -6,
       -6,  -4,   2,   8,   8,   2,  -4,  -6,
       -6,  -4,   5,  10,  10,   5,  -4,  -6,
       -4,  -4,   1,   5,   5,   1,  -4,  -4,
       -6,  -4,   1, -24, -24,   1,  -4,  -6,
        0,   0,   0,   0,   0,   0,   0,   0},

    {  -8,  -8,  -8,  -8,  -8,  -8,  -8,  -8,
       -8,   0,   0,   0,   0,   0,   0,  -8,
       -8,   0,   4,   6,   6,   4,   0,  -8,
       -8,   0,   6,   8,   8,   6,   0,  -8,
       -8,   0,   6,   8,   8,   6,   0,  -8,
       -8,   0,   4,   6,   6,   4,   0,  -8,
       -8,   0,   1,   2,   2,   1,   0,  -8,
      -16, -12,  -8,  -8,  -8,  -8, -12, -16},

    {  -4,  -4,  -4,  -4,  -4,  -4,  -4,  -4,
       -4,   0,   0,   0,   0,   0,   0,  -4,
       -4,   0,   2,   4,   4,   2,   0,  -4,
       -4,   0,   4,   6,   6,   4,   0,  -4,
       -4,   0,   4,   6,   6,   4,   0,  -4,
       -4,   1,   2,   4,   4,   2,   1,  -4,
       -4,   2,   1,   1,   1,   1,   2,  -4,
       -4,  -4, -12,  -4,  -4, -12,  -4,  -4},

    {   5,   5,   5,   5,   5,   5,   5,   5,
       20,  20,  20,  20,  20,  20,  20,  20,
       -5,   0,   0,   0,   0,   0,   0,  -5,
       -5,   0,   0,   0,   0,   0,   0,  -5,
       -5,   0,   0,   0,   0,   0,   0,  -5,
       -5,   0,   0,   0,   0,   0,   0,  -5,
       -5,   0,   0,   0,   0,   0,   0,  -5,
        0,   0,   0,   2,   2,   0,   0,   0},

    {   0,   0,   0,   0,   0,   0,   0,   0,
        0,   0,   1,   1,   1,   1,   0,   0,
        0,   0,   1,   2,   2,   1,   0,   0,
        0,   0,   2,   3,   3,   2,   0,   0,
        0,   0,   2,   3,   3,   2,   0,   0,
        0,   0,   1,   2,   2,   1,   0,   0,
        0,   0,   1,   1,   1,   1,   0,   0,
       -5,  -5,  -5,  -5,  -5,  -5,  -5,  -5},
};
// clang-format on

// The entry of a 64-square table for a piece of the given colour on a 0x88
// square: white reads the board as written, black reads it with the ranks
// mirrored, so a piece and its mirror image of the other colour score alike.
[[nodiscard]] constexpr int tableIndex(int square, int color) {
    const int row = color == WHITE ? rowOf(square) : 7 - rowOf(square);
    return row * 8 + fileOf(square);
}

// The values by colour, type and 0x88 square; zero for the king.
inline constexpr auto PIECE_SQUARE_BY_SQUARE = [] {
    std::array<std::array<std::array<int, 128>, KING + 1>, 2> table{};
    for (const int color : {WHITE, BLACK})
        for (int type = PAWN; type < KING; ++type)
            for (int square = 0; square < 128; ++square) {
                if (!onBoard(square)) continue;
                table[color][type][square] = PIECE_SQUARE[type][tableIndex(square, color)];
            }
    return table;
}();

// A colour's pieces' values in one number, as the board sums them: below bit
// PIECE_PHASE_SHIFT their material plus their piece-square values, from that
// bit up their phase weights. Every piece's material outweighs its lowest
// square value, so the lower part is never negative; and a piece list holds
// at most 16 pieces, so it stays below 2^16.
inline constexpr int PIECE_PHASE_SHIFT = 16;
inline constexpr int PIECE_VALUE_MASK = (1 << PIECE_PHASE_SHIFT) - 1;
// By pieceCode and 0x88 square.
inline constexpr auto PIECE_VALUE_BY_SQUARE = [] {
    std::array<std::array<int, 128>, PIECE_CODES> table{};
    for (const int color : {WHITE, BLACK})
        for (int type = PAWN; type < KING; ++type)
            for (int square = 0; square < 128; ++square)
                if (onBoard(square))
                    table[pieceCode(color, type)][square] = MATERIAL_VALUE[type] +
                                                            PIECE_SQUARE_BY_SQUARE[color][type][square] +
                                                            (PHASE_WEIGHT[type] << PIECE_PHASE_SHIFT);
    return table;
}();
static_assert([] {
    constexpr int PIECES_OF_A_TYPE = 16;
    int largest = 0;
    for (int type = PAWN; type < KING; ++type) {
        int typeLargest = 0;
        for (int bit = 0; bit < 64; ++bit) {
            const int value = MATERIAL_VALUE[type] + PIECE_SQUARE[type][bit];
            if (value < 0) return false;
            typeLargest = value > typeLargest ? value : typeLargest;
        }
        largest += PIECES_OF_A_TYPE * typeLargest;
    }
    return largest <= PIECE_VALUE_MASK;
}());
