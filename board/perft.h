#pragma once

#include <cstdint>
#include <iosfwd>

#include "board/board.h"

// Walks the tree of legal moves to a fixed depth and counts, per ply, the
// positions reached and the castling moves and en passant captures that led
// there. The moves of the last ply are counted, not made.
class Perft {
public:
    static constexpr int MAX_DEPTH = 29;

    Perft(Board& board, int depth);

    void perft(int ply);
    void diagnostics(std::ostream& out) const;

    [[nodiscard]] std::uint64_t nodesAt(int ply) const { return plyNodes[ply]; }
    [[nodiscard]] std::uint64_t castlesAt(int ply) const { return plyCastles[ply]; }
    [[nodiscard]] std::uint64_t passantsAt(int ply) const { return plyPassants[ply]; }

private:
    // Adds the moves of the position on the board to the last ply's counts.
    void countLastPly();

    Board& board;
    int perftDepth;
    std::uint64_t plyNodes[MAX_DEPTH + 1] = {};
    std::uint64_t plyCastles[MAX_DEPTH + 1] = {};
    std::uint64_t plyPassants[MAX_DEPTH + 1] = {};
    // One move buffer per ply, reused for every node of that ply.
    MoveList moveBuffers[MAX_DEPTH + 1];
};

// Walks to depth and prints the per-ply report and the processor time taken,
// as the "perft" command shows them.
void runPerft(Board& board, int depth, std::ostream& out);
