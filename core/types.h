#pragma once

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <utility>

// Squares use 0x88 numbering: square = row * 16 + file, row 0 is rank 8.
// A value is on the board exactly when (value & 0x88) == 0.
constexpr int NO_SQUARE = -1;
constexpr int ROW_STEP = 16;

// The steps between neighbouring squares, as white sees the board: north is
// towards rank 8, east towards the h-file.
constexpr int NORTH = -ROW_STEP, SOUTH = ROW_STEP, EAST = 1, WEST = -1;
constexpr int NORTH_EAST = NORTH + EAST, NORTH_WEST = NORTH + WEST;
constexpr int SOUTH_EAST = SOUTH + EAST, SOUTH_WEST = SOUTH + WEST;

constexpr int A8 = 0, B8 = 1, C8 = 2, D8 = 3, E8 = 4, F8 = 5, G8 = 6, H8 = 7;
constexpr int A1 = 112, B1 = 113, C1 = 114, D1 = 115, E1 = 116, F1 = 117, G1 = 118, H1 = 119;

// The bits no square on the board has: 0x88 and every bit above seven.
constexpr int OFF_BOARD_BITS = ~0x77;
[[nodiscard]] constexpr bool onBoard(int square) { return (square & OFF_BOARD_BITS) == 0; }

// Tables indexed by the difference of two squares add H1 (the largest
// difference); 15 rows of 16 hold every index.
constexpr int SQUARE_DIFFERENCE_BIAS = H1;
constexpr int SQUARE_DIFFERENCES = 15 * ROW_STEP;
[[nodiscard]] constexpr int rowOf(int square) { return square >> 4; }
[[nodiscard]] constexpr int fileOf(int square) { return square & 7; }
[[nodiscard]] constexpr int makeSquare(int row, int file) { return row * ROW_STEP + file; }

// Piece-type codes; EMPTY doubles as the colour of an empty square.
constexpr int PAWN = 0, KNIGHT = 1, BISHOP = 2, ROOK = 3, QUEEN = 4, KING = 5, EMPTY = 6;
constexpr int WHITE = 0, BLACK = 1;
// The piece types a colour has, and one number for each colour and type: the
// index of tables kept by colour and type.
constexpr int PIECE_TYPES = KING + 1;
constexpr int PIECE_CODES = 2 * PIECE_TYPES;
[[nodiscard]] constexpr int pieceCode(int color, int type) { return color * PIECE_TYPES + type; }

// The step of a pawn of the colour: white pawns advance towards rank 8.
[[nodiscard]] constexpr int pawnForward(int color) { return color == WHITE ? NORTH : SOUTH; }

constexpr char PIECE_LETTERS[] = "pnbrqk";

// Move flags.
constexpr std::uint8_t CAPTURE = 0x01;
constexpr std::uint8_t CASTLE = 0x02;
constexpr std::uint8_t ENPASSANT = 0x04;
constexpr std::uint8_t DOUBLEPUSH = 0x08;
constexpr std::uint8_t PAWNMOVE = 0x10;
constexpr std::uint8_t PROMOTION = 0x20;

struct Move {
    std::int8_t from = 0;
    std::int8_t to = 0;
    std::int8_t promotion = 0;
    std::uint8_t flags = 0;

    // Two moves are equal when all four bytes are: one comparison of the
    // bytes as a whole.
    [[nodiscard]] constexpr bool operator==(const Move& other) const { return bytes() == other.bytes(); }
    [[nodiscard]] constexpr bool operator!=(const Move& other) const { return !(*this == other); }
    [[nodiscard]] constexpr bool isQuiet() const { return (flags & (CAPTURE | PROMOTION)) == 0; }
    [[nodiscard]] constexpr bool has(std::uint8_t flag) const { return (flags & flag) != 0; }

private:
    // The four bytes as one number, in the order they are stored on a
    // little-endian machine, so that the compiler reads them with one load.
    [[nodiscard]] constexpr std::uint32_t bytes() const {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(from)) |
               static_cast<std::uint32_t>(static_cast<std::uint8_t>(to)) << 8 |
               static_cast<std::uint32_t>(static_cast<std::uint8_t>(promotion)) << 16 |
               static_cast<std::uint32_t>(flags) << 24;
    }
};
static_assert(sizeof(Move) == 4);

[[nodiscard]] constexpr Move makeMove(int from, int to, int flags, int promotion = 0) {
    return {static_cast<std::int8_t>(from), static_cast<std::int8_t>(to), static_cast<std::int8_t>(promotion),
            static_cast<std::uint8_t>(flags)};
}

constexpr Move NOMOVE{0, 0, 0, 0};
constexpr Move NULLMOVE{127, 127, 0, 0};

// The moves of one position, in storage allocated once with room for the
// moves of any position the board accepts. A side has at most 63 pieces; with
// p of them, a piece reaches at most min(27, 64 - p) squares and a pawn makes
// at most min(12, 4 * (64 - p)) moves, so with two castlings and two en
// passant captures no position has more than 37 * 27 + 4 = 1,003 moves.
// The generator appends through a cursor from end() and then calls setEnd,
// as a pointer held in a register is faster than a count kept in memory.
class MoveList {
public:
    static constexpr std::size_t CAPACITY = 1024;
    using value_type = Move;

    MoveList() : moves(new Move[CAPACITY]) {}
    MoveList(const MoveList& other) : MoveList() { *this = other; }
    MoveList& operator=(const MoveList& other) {
        std::copy(other.begin(), other.end(), moves.get());
        count = other.count;
        return *this;
    }

    void push_back(const Move& move) {
        assert(count < CAPACITY);
        moves[count++] = move;
    }
    void append(const MoveList& other) {
        assert(count + other.count <= CAPACITY);
        std::copy(other.begin(), other.end(), end());
        count += other.count;
    }
    void clear() { count = 0; }

    void setEnd(const Move* newEnd) {
        assert(newEnd >= begin() && newEnd <= begin() + CAPACITY);
        count = static_cast<std::size_t>(newEnd - begin());
    }

    [[nodiscard]] std::size_t size() const { return count; }
    [[nodiscard]] bool empty() const { return count == 0; }
    [[nodiscard]] const Move& operator[](std::size_t i) const { return moves[i]; }
    [[nodiscard]] Move* begin() { return moves.get(); }
    [[nodiscard]] Move* end() { return moves.get() + count; }
    [[nodiscard]] const Move* begin() const { return moves.get(); }
    [[nodiscard]] const Move* end() const { return moves.get() + count; }

private:
    std::unique_ptr<Move[]> moves;
    std::size_t count = 0;
};

// Coordinate text: "e2e4", "e7e8q"; NOMOVE prints "a8a8".
std::ostream& operator<<(std::ostream& out, const Move& move);
// Moves separated by single blanks.
std::ostream& operator<<(std::ostream& out, const MoveList& moves);

// Search scores.
constexpr int MAX_PLY = 128;
constexpr int MATE = 32000;
// Scores beyond this are mates: the farthest mate a search can see is at
// ply MAX_PLY - 1.
constexpr int MATE_THRESHOLD = MATE - (MAX_PLY - 1);
