#pragma once

#include <array>
#include <cstdint>

#include "board/square_set.h"
#include "core/types.h"

// The squares bishops, rooks and queens reach: along each line through their
// square up to and including the first occupied square, the edge square when
// none is. A line's occupancy is gathered into six bits, one per inner
// square (the end squares never block anything beyond them), and a table
// gives the squares reached for each occupancy. Ranks, diagonals and
// anti-diagonals hold one square per file, files one per row.
namespace line_reach {

// A set with one square on each row of file a, and one with a square on each
// row of file b.
constexpr SquareSet FILE_A_SQUARES = 0x0101010101010101;
constexpr SquareSet FILE_B_SQUARES = FILE_A_SQUARES << 1;
// The diagonal from rank 8 to rank 1 through a8 and h1: one square per row.
// Multiplying a file's squares moved to file a by it turns the row of each
// into a file of the top byte, row 0 going to the highest bit.
constexpr SquareSet ROWS_TO_TOP_BYTE = 0x8040201008040201;
// The six inner squares of a line, gathered in the top byte, start here.
constexpr int INNER_SHIFT = 58;
constexpr int INNER_OCCUPANCIES = 64;
constexpr SquareSet INNER_MASK = INNER_OCCUPANCIES - 1;

// Per position on a line of eight (0 to 7) and occupancy of the six inner
// positions (bit i for position i + 1): the positions a slider there reaches.
constexpr auto ALONG_LINE = [] {
    std::array<std::array<std::uint8_t, INNER_OCCUPANCIES>, 8> reach{};
    for (int from = 0; from < 8; ++from)
        for (int inner = 0; inner < INNER_OCCUPANCIES; ++inner) {
            const int occupied = inner << 1;
            int reached = 0;
            for (const int step : {-1, 1})
                for (int to = from + step; to >= 0 && to < 8; to += step) {
                    reached |= 1 << to;
                    if ((occupied >> to & 1) != 0) break;
                }
            reach[from][inner] = static_cast<std::uint8_t>(reached);
        }
    return reach;
}();

// The same for files: per row and occupancy of the six inner rows (bit i for
// row 6 - i, as ROWS_TO_TOP_BYTE gathers them), the squares of file a reached.
constexpr auto ALONG_FILE_A = [] {
    std::array<std::array<SquareSet, INNER_OCCUPANCIES>, 8> reach{};
    for (int row = 0; row < 8; ++row)
        for (int inner = 0; inner < INNER_OCCUPANCIES; ++inner) {
            // Position 7 - row on the line, its occupancy read in that order.
            for (const int position : {0, 1, 2, 3, 4, 5, 6, 7}) {
                if ((ALONG_LINE[7 - row][inner] >> position & 1) != 0)
                    reach[row][inner] |= SquareSet{1} << (8 * (7 - position));
            }
        }
    return reach;
}();

// Per bit, the squares of the diagonal (steps north-east and south-west) and
// of the anti-diagonal (north-west and south-east) through it, its own
// square left out.
struct Diagonals {
    std::array<SquareSet, 64> diagonal{};
    std::array<SquareSet, 64> antiDiagonal{};
};

constexpr Diagonals DIAGONALS = [] {
    Diagonals lines{};
    for (int bit = 0; bit < 64; ++bit) {
        const int from = squareOfBit(bit);
        for (const int step : {NORTH_EAST, SOUTH_WEST})
            for (int to = from + step; onBoard(to); to += step) lines.diagonal[bit] |= bitOf(to);
        for (const int step : {NORTH_WEST, SOUTH_EAST})
            for (int to = from + step; onBoard(to); to += step) lines.antiDiagonal[bit] |= bitOf(to);
    }
    return lines;
}();

// The squares reached along a line with one square per file, from the file.
[[nodiscard]] inline SquareSet alongFiles(SquareSet line, int file, SquareSet occupied) {
    const auto inner = static_cast<int>(((occupied & line) * FILE_B_SQUARES) >> INNER_SHIFT);
    return (FILE_A_SQUARES * ALONG_LINE[file][inner]) & line;
}

}  // namespace line_reach

[[nodiscard]] inline SquareSet bishopReach(int bit, SquareSet occupied) {
    using namespace line_reach;
    const int file = bit & 7;
    return alongFiles(DIAGONALS.diagonal[bit], file, occupied) |
           alongFiles(DIAGONALS.antiDiagonal[bit], file, occupied);
}

[[nodiscard]] inline SquareSet rookReach(int bit, SquareSet occupied) {
    using namespace line_reach;
    const int file = bit & 7;
    const int row = bit >> 3;
    const auto rankInner = static_cast<int>((occupied >> (8 * row + 1)) & INNER_MASK);
    const SquareSet alongRank = SquareSet{ALONG_LINE[file][rankInner]} << (8 * row);
    const auto fileInner = static_cast<int>(
        ((((occupied >> file) & FILE_A_SQUARES) * ROWS_TO_TOP_BYTE) >> (INNER_SHIFT - 1)) & INNER_MASK);
    return alongRank | (ALONG_FILE_A[row][fileInner] << file);
}

[[nodiscard]] inline SquareSet queenReach(int bit, SquareSet occupied) {
    return bishopReach(bit, occupied) | rookReach(bit, occupied);
}
