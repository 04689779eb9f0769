#pragma once

#include <array>

#include "core/types.h"

// The piece-square values of pawns, knights, bishops, rooks and queens, the
// same in the middlegame and the endgame. The board keeps each colour's sum
// of them as its pieces change squares; the evaluator reads the sum and adds
// the king's, which differ by phase.

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
