#pragma once

#include <cstdint>
#include <iosfwd>

#include "board/board.h"
#include "console/player.h"

// Walks the tree of legal moves to a fixed depth and counts, per ply, the
// positions reached and the castling moves and en passant captures that led
// there. Every leaf is made and taken back.
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
    Board& board;
    int perftDepth;
    std::uint64_t plyNodes[MAX_DEPTH + 1] = {};
    std::uint64_t plyCastles[MAX_DEPTH + 1] = {};
    std::uint64_t plyPassants[MAX_DEPTH + 1] = {};
    // One move buffer per ply, reused for every node of that ply.
    MoveList moveBuffers[MAX_DEPTH + 1];
};

// Runs a timed perft walk, prints its report and answers the first generated move.
class PerftPlayer : public Player {
public:
    PerftPlayer(int color, Board& board, int depth) : Player(color, board), walk(board, depth) {}

    [[nodiscard]] Move getAMove() override;

private:
    Perft walk;
};
