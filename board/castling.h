#pragma once

#include <array>

#include "core/types.h"

// One castling right: its bit in the rights mask, its FEN letter, the king's
// and the rook's squares before and after, the squares between them that must
// be empty (NO_SQUARE fills the king side's list), and the squares the king
// crosses or lands on, which must not be attacked (its own square must not be
// either).
struct CastlingRight {
    int bit;
    char letter;
    int color;
    int kingFrom, kingTo, rookFrom, rookTo;
    std::array<int, 3> mustBeEmpty;
    std::array<int, 2> mustBeSafe;
};

// In generation order: each colour's king side first.
inline constexpr std::array<CastlingRight, 4> CASTLING_RIGHTS = {{
    {1, 'K', WHITE, E1, G1, H1, F1, {F1, G1, NO_SQUARE}, {F1, G1}},
    {2, 'Q', WHITE, E1, C1, A1, D1, {B1, C1, D1}, {C1, D1}},
    {4, 'k', BLACK, E8, G8, H8, F8, {F8, G8, NO_SQUARE}, {F8, G8}},
    {8, 'q', BLACK, E8, C8, A8, D8, {B8, C8, D8}, {C8, D8}},
}};

// The bits of each colour's castling rights.
inline constexpr auto CASTLING_RIGHTS_OF = [] {
    std::array<int, 2> rights{};
    for (const CastlingRight& right : CASTLING_RIGHTS) rights[right.color] |= right.bit;
    return rights;
}();

// The right whose castling move takes the king to kingTo; nullptr for any
// other square.
[[nodiscard]] constexpr const CastlingRight* castlingRightTo(int kingTo) {
    for (const CastlingRight& right : CASTLING_RIGHTS)
        if (right.kingTo == kingTo) return &right;
    return nullptr;
}
