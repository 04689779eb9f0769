#include "board/perft.h"

#include <cassert>
#include <cstdint>
#include <ostream>

#include "platform/processor_time.h"

Perft::Perft(Board& board, int depth) : board(board), perftDepth(depth) { assert(depth <= MAX_DEPTH); }

void Perft::perft(int ply) {
    ++plyNodes[ply];
    if (perftDepth <= ply) return;
    if (perftDepth == ply + 1) {
        countLastPly();
        return;
    }

    MoveList& moves = moveBuffers[ply];
    moves.clear();
    board.gen(moves);
    for (const Move& move : moves) {
        if (!board.executeMove(move)) continue;
        if (move.has(CASTLE)) ++plyCastles[ply + 1];
        if (move.has(ENPASSANT)) ++plyPassants[ply + 1];
        perft(ply + 1);
        board.undoMove();
    }
}

void Perft::countLastPly() {
    const MoveCounts counts = board.countLegalMoves();
    plyNodes[perftDepth] += counts.moves;
    plyCastles[perftDepth] += counts.castles;
    plyPassants[perftDepth] += counts.passants;
}

void Perft::diagnostics(std::ostream& out) const {
    for (int ply = 0; ply <= MAX_DEPTH && plyNodes[ply] != 0; ++ply) {
        out << "Ply " << ply << ": " << plyNodes[ply] << " Nodes (" << plyCastles[ply] << " Castles, "
            << plyPassants[ply] << " Passants)" << std::endl;
    }
    out << std::endl;
}

void runPerft(Board& board, int depth, std::ostream& out) {
    Perft walk(board, depth);
    const std::int64_t start = processorMicroseconds();
    walk.perft(0);
    const std::int64_t end = processorMicroseconds();
    walk.diagnostics(out);
    out << static_cast<double>(end - start) / MICROSECONDS_PER_MILLISECOND << "ms" << std::endl;
}
