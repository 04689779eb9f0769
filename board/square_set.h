#pragma once

#include <array>
#include <cassert>
#include <cstdint>

#include "core/types.h"

// Sets of on-board squares as 64-bit masks, for counting moves and reach:
// bit row * 8 + file stands for the 0x88 square row * 16 + file, so rank 8
// takes the low bits, a positive 0x88 step is a positive bit step, and the
// nearest square along a positive step is the lowest bit.
using SquareSet = std::uint64_t;

// The bit index and the one-square set of every 0x88 number below 128,
// looked up rather than worked out at each of the board's many square
// changes. Callers ask only for squares on the board; the set of a number
// off the board is empty.
constexpr int SQUARE_NUMBERS = 128;
constexpr auto BIT_INDEX = [] {
    std::array<std::uint8_t, SQUARE_NUMBERS> index{};
    for (int square = 0; square < SQUARE_NUMBERS; ++square)
        index[square] = static_cast<std::uint8_t>((square + (square & 7)) >> 1);
    return index;
}();
constexpr auto SQUARE_BIT = [] {
    std::array<std::uint64_t, SQUARE_NUMBERS> bits{};
    for (int square = 0; square < SQUARE_NUMBERS; ++square)
        if (onBoard(square)) bits[square] = std::uint64_t{1} << BIT_INDEX[square];
    return bits;
}();

[[nodiscard]] constexpr int bitIndex(int square) {
    assert(square >= 0 && square < SQUARE_NUMBERS);
    return BIT_INDEX[square];
}
[[nodiscard]] constexpr SquareSet bitOf(int square) {
    assert(square >= 0 && square < SQUARE_NUMBERS);
    return SQUARE_BIT[square];
}
// The 0x88 square of a bit index.
[[nodiscard]] constexpr int squareOfBit(int bit) { return bit + (bit & 0x38); }

// The number of squares in a set, by adding bit counts in ever wider fields:
// portable builds have no population-count instruction, and the library's
// fallback is a call. The compiler turns this into the instruction in code
// built for processors that have it.
[[nodiscard]] constexpr int squareCount(SquareSet set) {
    constexpr SquareSet EVEN_BITS = 0x5555555555555555;
    constexpr SquareSet BIT_PAIRS = 0x3333333333333333;
    constexpr SquareSet NIBBLES = 0x0f0f0f0f0f0f0f0f;
    constexpr SquareSet BYTE_ONES = 0x0101010101010101;
    constexpr int TOP_BYTE = 56;
    set -= (set >> 1) & EVEN_BITS;
    set = (set & BIT_PAIRS) + ((set >> 2) & BIT_PAIRS);
    set = (set + (set >> 4)) & NIBBLES;
    return static_cast<int>((set * BYTE_ONES) >> TOP_BYTE);
}

constexpr SquareSet FILE_A = 0x0101010101010101;
constexpr SquareSet FILE_H = FILE_A << 7;

// The distance in bits between a square and the next on its file.
constexpr int ROW_BITS = 8;

// The set moved one row ahead for a pawn of the colour (towards rank 8, the
// low bits, for white) and files files towards file h (-1, 0 or 1). Squares
// that would leave the board's side are the caller's to leave out.
[[nodiscard]] constexpr SquareSet pawnStep(SquareSet set, int color, int files) {
    return color == WHITE ? set >> (ROW_BITS - files) : set << (ROW_BITS + files);
}

// The squares of a row (0 for rank 8).
[[nodiscard]] constexpr SquareSet rowSet(int row) { return SquareSet{0xff} << (row * 8); }
