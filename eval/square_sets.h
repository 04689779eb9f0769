#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "board/board.h"
#include "board/line_reach.h"
#include "board/piece_reach.h"
#include "board/square_set.h"
#include "core/types.h"

// Square sets for the evaluator's counting (board/square_set.h).
namespace eval {

using ::bishopReach;
using ::bitIndex;
using ::bitOf;
using ::FILE_A;
using ::FILE_H;
using ::pawnStep;
using ::queenReach;
using ::rookReach;
using ::squareCount;
using ::squareOfBit;
using ::SquareSet;
using ::STEP_REACH;

[[nodiscard]] constexpr SquareSet fileSet(int file) { return FILE_A << file; }

// The relative rank of a bit index for a colour: 0 on its own back rank.
[[nodiscard]] constexpr int relativeRankOfBit(int bit, int color) { return color == WHITE ? 7 - (bit >> 3) : bit >> 3; }

// The set moved one row in the colour's direction of play (towards rank 8
// for white).
[[nodiscard]] constexpr SquareSet oneAhead(SquareSet set, int color) { return pawnStep(set, color, 0); }

// The set with every square ahead of its squares, on their files, added.
[[nodiscard]] constexpr SquareSet fillAhead(SquareSet set, int color) {
    if (color == WHITE) {
        set |= set >> 8;
        set |= set >> 16;
        return set | set >> 32;
    }
    set |= set << 8;
    set |= set << 16;
    return set | set << 32;
}

// The files holding a square of the set, bit f for file f: every square
// pushed to the row of bits 0 to 7.
[[nodiscard]] constexpr std::uint8_t filesOf(SquareSet set) { return static_cast<std::uint8_t>(fillAhead(set, WHITE)); }

// The squares of the files of the bits of files (as filesOf gives them).
[[nodiscard]] constexpr SquareSet fileSetOf(std::uint8_t files) { return FILE_A * files; }

// The squares beside the set's squares on the neighbouring files.
[[nodiscard]] constexpr SquareSet beside(SquareSet set) { return ((set & ~FILE_H) << 1) | ((set & ~FILE_A) >> 1); }

// The squares a colour's pawns attack.
[[nodiscard]] constexpr SquareSet pawnAttacks(SquareSet pawns, int color) {
    return pawnStep(pawns & ~FILE_A, color, -1) | pawnStep(pawns & ~FILE_H, color, 1);
}

// Per colour and square of its king: the king's eight neighbours and the
// three squares two rows ahead of it, those on the board.
constexpr auto KING_RING = [] {
    std::array<std::array<SquareSet, 64>, 2> ring{};
    for (const int color : {WHITE, BLACK})
        for (int king = 0; king < 128; ++king) {
            if (!onBoard(king)) continue;
            SquareSet& set = ring[color][bitIndex(king)];
            set = STEP_REACH<KING>[bitIndex(king)];
            const int twoAhead = king + 2 * pawnForward(color);
            for (const int target : {twoAhead - 1, twoAhead, twoAhead + 1})
                if (onBoard(target)) set |= bitOf(target);
        }
    return ring;
}();

}  // namespace eval
