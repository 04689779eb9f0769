#pragma once

#include <array>
#include <bit>
#include <cstdint>

#include "board/square_set.h"

// The squares bishops, rooks and queens reach: along each line through their
// square up to and including the first occupied square, the edge square when
// none is. Only the squares of a line short of its last can block anything
// beyond them. The occupied ones among those blockers, multiplied by the
// square's multiplier, leave in their top bits an index into the square's
// slice of one table, which holds the reach for every occupancy: no two
// occupancies with different reach share an index.
namespace line_reach {

// How a square's slice of the table is found.
struct SquareLines {
    SquareSet blockers;
    std::uint64_t multiplier;
    int shift;   // 64 less the number of blockers
    int offset;  // where the slice starts in the table
};

// A line's step in rows and files.
struct LineStep {
    int rows;
    int files;
};
constexpr LineStep DIAGONAL_STEPS[4] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
constexpr LineStep STRAIGHT_STEPS[4] = {{-1, 0}, {0, -1}, {0, 1}, {1, 0}};

// The squares reached from the bit along the steps up to and with the first
// occupied square; only the blockers when blockersOnly is set.
[[nodiscard]] constexpr SquareSet walk(int bit, const LineStep (&steps)[4], SquareSet occupied, bool blockersOnly) {
    const auto inside = [](int row, int file) { return row >= 0 && row < 8 && file >= 0 && file < 8; };
    SquareSet reached = 0;
    for (const LineStep& step : steps)
        for (int row = (bit >> 3) + step.rows, file = (bit & 7) + step.files; inside(row, file);
             row += step.rows, file += step.files) {
            if (blockersOnly && !inside(row + step.rows, file + step.files)) break;
            const SquareSet square = SquareSet{1} << (row * 8 + file);
            reached |= square;
            if ((occupied & square) != 0) break;
        }
    return reached;
}

// The multipliers, by bit. They were found by trying sparse random numbers
// until one kept apart every two occupancies of the square's blockers that
// differ in reach; the table's filling checks this (in checked builds).
// clang-format off
constexpr std::uint64_t BISHOP_MULTIPLIERS[64] = {
    0x0810415618020024ULL, 0x4220111122018100ULL, 0x0290210600290140ULL, 0x0804104a00000100ULL,
    0x0444042040048000ULL, 0x0101012110101484ULL, 0x90c2089404400080ULL, 0x0320882110100400ULL,
    0x48000604100a2208ULL, 0x000110a24a004200ULL, 0x0000584804608000ULL, 0x1880092401001400ULL,
    0x0080241029280810ULL, 0x0209010482408050ULL, 0x0020220802098420ULL, 0x8100008080901010ULL,
    0x4a05104088080108ULL, 0x6c03002008120886ULL, 0x0024004204040008ULL, 0x014404480f202008ULL,
    0x2280800c04a00021ULL, 0x0003004201410c80ULL, 0x02208c0904500200ULL, 0x0002023049008840ULL,
    0x0121601c0408120cULL, 0x000410000cd51818ULL, 0xe802010002080601ULL, 0x6044080020202040ULL,
    0x2801020004008400ULL, 0x0010008000405000ULL, 0x0000808401080801ULL, 0x200100442a060480ULL,
    0x0002024030101000ULL, 0x0404010484091000ULL, 0x8104021105880044ULL, 0x0401020082080080ULL,
    0xc404040400001100ULL, 0x7008100140908810ULL, 0x000c010040041c00ULL, 0x0062020611802090ULL,
    0x00080610d1012400ULL, 0x8a6200840422a020ULL, 0x600102180200c400ULL, 0x1000804200800812ULL,
    0x0002010122001400ULL, 0xa002020401000808ULL, 0x8ad0302208800040ULL, 0x00b4091047002a04ULL,
    0x020200ac24404000ULL, 0x4100809808020000ULL, 0x0000048c04191000ULL, 0x1080040205040000ULL,
    0x040e009002120c90ULL, 0x0800400204010870ULL, 0x0050105005404400ULL, 0x202084010a002421ULL,
    0x1000884410040202ULL, 0x2104108844422003ULL, 0x2400200104010400ULL, 0x0060600200840410ULL,
    0x0000203141104441ULL, 0x01464020a0021080ULL, 0x0080208830012040ULL, 0x4040b00400882040ULL,
};
constexpr std::uint64_t ROOK_MULTIPLIERS[64] = {
    0x5480002080400010ULL, 0x2040100040002001ULL, 0x4080200008100080ULL, 0x02001020040a0040ULL,
    0x0300080010030004ULL, 0x4a00840002001008ULL, 0x140000e401080210ULL, 0x0080010000f4c280ULL,
    0x0810800040002082ULL, 0x00a1804000822008ULL, 0x0800801000802005ULL, 0x9315002009011004ULL,
    0x8000800800800400ULL, 0x4400808002000400ULL, 0x0005000100040200ULL, 0x2802000044208102ULL,
    0x0040248000400080ULL, 0x0200420022008110ULL, 0x8010410020010810ULL, 0x048a808010020800ULL,
    0x1001828004000800ULL, 0x0000808004000200ULL, 0x0a11240008094290ULL, 0x4080620000440081ULL,
    0xc000400580028028ULL, 0x0000200040005000ULL, 0x1000100080200080ULL, 0x1002024200082010ULL,
    0x1024000480080082ULL, 0x0182000200081004ULL, 0x0000810400108802ULL, 0x0c0001020000508cULL,
    0x0580804002800020ULL, 0x0000402000401004ULL, 0x0121002001004014ULL, 0x8108000880801004ULL,
    0x0040040080800802ULL, 0x0082800400800200ULL, 0x0002100104008842ULL, 0x010040410a00009cULL,
    0x2080806040018000ULL, 0x0040081000202000ULL, 0x2200822200460010ULL, 0x0450012100090010ULL,
    0x0402080005010010ULL, 0x0013000400130008ULL, 0x0440010002008080ULL, 0x00000311a0420004ULL,
    0x1820210040820200ULL, 0x8a04400894200080ULL, 0x0202002010804200ULL, 0x1c00100842002200ULL,
    0x80a0800400080080ULL, 0x0002000280040080ULL, 0x2100080250a10400ULL, 0x6000053400408600ULL,
    0x4082410412042082ULL, 0x3000102100804001ULL, 0x22402000100d0141ULL, 0x0002940830006101ULL,
    0x0602000844302016ULL, 0x0c01000802040001ULL, 0x8020021048980104ULL, 0x8000440042882112ULL,
};
// clang-format on

// The slices of the bishops, from offset on, then those of the rooks.
[[nodiscard]] constexpr std::array<SquareLines, 64> slices(const LineStep (&steps)[4],
                                                           const std::uint64_t (&multipliers)[64], int offset) {
    std::array<SquareLines, 64> lines{};
    for (int bit = 0; bit < 64; ++bit) {
        const SquareSet blockers = walk(bit, steps, 0, true);
        lines[bit] = {blockers, multipliers[bit], 64 - std::popcount(blockers), offset};
        offset += 1 << std::popcount(blockers);
    }
    return lines;
}
constexpr auto BISHOP_LINES = slices(DIAGONAL_STEPS, BISHOP_MULTIPLIERS, 0);
constexpr int BISHOP_TABLE_SIZE = BISHOP_LINES[63].offset + (1 << (64 - BISHOP_LINES[63].shift));
constexpr auto ROOK_LINES = slices(STRAIGHT_STEPS, ROOK_MULTIPLIERS, BISHOP_TABLE_SIZE);
constexpr int TABLE_SIZE = ROOK_LINES[63].offset + (1 << (64 - ROOK_LINES[63].shift));

// The reach of every slice, filled when the engine starts, before main().
struct ReachTable {
    ReachTable();
    std::array<SquareSet, TABLE_SIZE> reach;
};
extern const ReachTable TABLE;

[[nodiscard]] inline SquareSet lookUp(const SquareLines& lines, SquareSet occupied) {
    return TABLE.reach[lines.offset + (((occupied & lines.blockers) * lines.multiplier) >> lines.shift)];
}

}  // namespace line_reach

[[nodiscard]] inline SquareSet bishopReach(int bit, SquareSet occupied) {
    return line_reach::lookUp(line_reach::BISHOP_LINES[bit], occupied);
}

[[nodiscard]] inline SquareSet rookReach(int bit, SquareSet occupied) {
    return line_reach::lookUp(line_reach::ROOK_LINES[bit], occupied);
}

[[nodiscard]] inline SquareSet queenReach(int bit, SquareSet occupied) {
    return bishopReach(bit, occupied) | rookReach(bit, occupied);
}
