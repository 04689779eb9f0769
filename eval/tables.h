#pragma once

#include "board/piece_square.h"
#include "core/types.h"
#include "eval/score.h"

// The evaluator's weights and tables (material and phase weights from
// board/piece_square.h), indexed by piece code (PAWN to KING,
// then EMPTY), by square or by rank. The square tables are written as white
// sees the board, rank 8 in the first row and file a in the first column.
namespace eval {

using ::MATERIAL_VALUE;
using ::PHASE_WEIGHT;
using ::tableIndex;

// The tables are aligned by hand, a row per rank.
// clang-format off

// Points per counted mobility square.
inline constexpr Score MOBILITY_WEIGHT[7] = {{0, 0}, {4, 4}, {3, 3}, {2, 4}, {1, 2}, {0, 0}, {0, 0}};

// Points per enemy king-ring square a piece reaches.
inline constexpr int ATTACK_WEIGHT[7] = {0, 2, 2, 3, 5, 0, 0};

// The value of an attack on the king by the attacking side's sum of attack
// weights; flat at 500 from 61 on, and a larger sum reads the last entry.
inline constexpr int SAFETY_TABLE[100] = {
      0,   0,   1,   2,   3,   5,   7,   9,  12,  15,
     18,  22,  26,  30,  35,  39,  44,  50,  56,  62,
     68,  75,  82,  85,  89,  97, 105, 113, 122, 131,
    140, 150, 169, 180, 191, 202, 213, 225, 237, 248,
    260, 272, 283, 295, 307, 319, 330, 342, 354, 366,
    377, 389, 401, 412, 424, 436, 448, 459, 471, 483,
    494, 500, 500, 500, 500, 500, 500, 500, 500, 500,
    500, 500, 500, 500, 500, 500, 500, 500, 500, 500,
    500, 500, 500, 500, 500, 500, 500, 500, 500, 500,
    500, 500, 500, 500, 500, 500, 500, 500, 500, 500,
};

// Pawn structure, per pawn. A passed pawn earns its bonus once for each rank
// it has advanced from its colour's back rank.
inline constexpr int DOUBLED_PAWN = -10;
inline constexpr int ISOLATED_PAWN = -20;
inline constexpr int BACKWARD_PAWN = -8;
inline constexpr int PASSED_PAWN_PER_RANK = 20;

// A rook on a file without pawns, or without own pawns.
inline constexpr int ROOK_OPEN_FILE = 15;
inline constexpr int ROOK_SEMI_OPEN_FILE = 10;

// A king on the d- or e-file, per file next to it or its own without any pawn.
inline constexpr int KING_OPEN_CENTRE_FILE = -10;

// Shelter of the king's file and its neighbours, by the relative rank of the
// rearmost own pawn on the file: nothing for a pawn still on its home rank,
// less the further it has advanced, least when the file has none (7). A pawn
// on its own back rank (0) only stands in positions set up by hand.
inline constexpr int KING_SHIELD[8] = {-20, 0, -10, -20, -20, -20, -20, -25};
// Danger from the enemy's pawns on those files, by the relative rank (from the
// enemy's side) of the enemy's rearmost pawn there: an enemy pawn on the
// king's fourth or third rank, or a file with no enemy pawn (7), opens lines.
inline constexpr int PAWN_STORM[8] = {0, 0, 0, 0, -5, -10, 0, -15};

// The king's tables: sheltered in a corner in the middlegame, central in the endgame.
inline constexpr int KING_SQUARE_MG[64] = {
    -40, -30, -50, -70, -70, -50, -30, -40,
    -30, -20, -40, -60, -60, -40, -20, -30,
    -20, -10, -30, -50, -50, -30, -10, -20,
    -10,   0, -20, -40, -40, -20,   0, -10,
      0,  10, -10, -30, -30, -10,  10,   0,
     10,  20,   0, -20, -20,   0,  20,  10,
     30,  40,  20,   0,   0,  20,  40,  30,
     40,  50,  30,  10,  10,  30,  50,  40,
};
inline constexpr int KING_SQUARE_EG[64] = {
    -72, -48, -36, -24, -24, -36, -48, -72,
    -48, -24, -12,   0,   0, -12, -24, -48,
    -36, -12,   0,  12,  12,   0, -12, -36,
    -24,   0,  12,  24,  24,  12,   0, -24,
    -24,   0,  12,  24,  24,  12,   0, -24,
    -36, -12,   0,  12,  12,   0, -12, -36,
    -48, -24, -12,   0,   0, -12, -24, -48,
    -72, -48, -36, -24, -24, -36, -48, -72,
};

// clang-format on

// The piece-square value of a king of the given colour on a square; those
// of the other pieces are the board's (board/piece_square.h).
[[nodiscard]] constexpr Score kingSquareValue(int color, int square) {
    const int index = tableIndex(square, color);
    return {KING_SQUARE_MG[index], KING_SQUARE_EG[index]};
}

}  // namespace eval
