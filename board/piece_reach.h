#pragma once

#include <array>

#include "board/board.h"
#include "board/line_reach.h"
#include "board/square_set.h"

// Per square (bit index), the squares pieces reach from it on an empty board,
// and the squares whose pawns attack it.

// The squares one step of a knight or king reaches.
template <int type>
constexpr auto STEP_REACH = [] {
    std::array<SquareSet, 64> reach{};
    for (int bit = 0; bit < 64; ++bit)
        for (int d = 0; d < PIECE_STEP_COUNT[type]; ++d)
            if (onBoard(squareOfBit(bit) + PIECE_STEPS[type][d]))
                reach[bit] |= bitOf(squareOfBit(bit) + PIECE_STEPS[type][d]);
    return reach;
}();

// The squares a bishop, rook or queen reaches on an empty board.
template <int type>
constexpr auto LINES = [] {
    std::array<SquareSet, 64> lines{};
    for (int bit = 0; bit < 64; ++bit)
        for (int d = 0; d < PIECE_STEP_COUNT[type]; ++d)
            for (int square = squareOfBit(bit) + PIECE_STEPS[type][d]; onBoard(square); square += PIECE_STEPS[type][d])
                lines[bit] |= bitOf(square);
    return lines;
}();

// The squares a piece of the type on the bit reaches, the occupied squares
// being those given: a step's squares for knights and kings, each line up to
// and with its first occupied square for sliders.
template <int type>
[[nodiscard, gnu::always_inline]] inline SquareSet pieceReach(int bit, SquareSet occupied) {
    static_assert(type >= KNIGHT && type <= KING);
    if constexpr (type == KNIGHT || type == KING)
        return STEP_REACH<type>[bit];
    else if constexpr (type == BISHOP)
        return bishopReach(bit, occupied);
    else if constexpr (type == ROOK)
        return rookReach(bit, occupied);
    else
        return queenReach(bit, occupied);
}

// The squares from which a pawn of the colour attacks each square.
constexpr auto PAWN_ATTACKERS = [] {
    std::array<std::array<SquareSet, 64>, 2> attackers{};
    for (const int color : {WHITE, BLACK})
        for (int bit = 0; bit < 64; ++bit)
            for (const int side : {-1, 1})
                if (const int from = squareOfBit(bit) - pawnForward(color) + side; onBoard(from))
                    attackers[color][bit] |= bitOf(from);
    return attackers;
}();

// Whether pieces of byColor, on the squares of by (one set per type), attack
// the square of the bit with the occupied squares given. Sliders on no line
// through the square are ruled out before their reach is worked out.
[[nodiscard]] inline bool squareAttacked(int bit, int byColor, const SquareSet (&by)[6], SquareSet occupied) {
    if ((PAWN_ATTACKERS[byColor][bit] & by[PAWN]) != 0 || (STEP_REACH<KNIGHT>[bit] & by[KNIGHT]) != 0 ||
        (STEP_REACH<KING>[bit] & by[KING]) != 0)
        return true;
    const SquareSet diagonals = by[BISHOP] | by[QUEEN];
    const SquareSet straights = by[ROOK] | by[QUEEN];
    return ((LINES<BISHOP>[bit] & diagonals) != 0 && (bishopReach(bit, occupied) & diagonals) != 0) ||
           ((LINES<ROOK>[bit] & straights) != 0 && (rookReach(bit, occupied) & straights) != 0);
}
