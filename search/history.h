#pragma once

#include <cassert>

#include "board/board.h"
#include "core/types.h"

// Scores quiet moves by how often they were best (weighted by depth squared)
// and how often they were tried without being best. Indexed by the side to
// move and the piece on the move's from-square, read from the bound board at
// the moment of the call.
class HistoryTable {
public:
    // Any value reaching this magnitude halves the whole table, which keeps
    // recent results weighing more than old ones.
    static constexpr int HISTORY_LIMIT = 2000;

    explicit HistoryTable(const Board& board) : board(board) {}

    // The values of the colour's quiet moves by moving piece and to-square.
    using ScoresByPiece = int[KING + 1][128];
    [[nodiscard]] const ScoresByPiece& scoresOf(int color) const { return scores[color]; }
    void addScore(const Move& move, int delta);
    void clear();

private:
    [[nodiscard]] int movingPiece(const Move& move) const {
        const int piece = board.pieceAt(move.from);
        assert(piece != EMPTY);
        return piece;
    }

    ScoresByPiece scores[2] = {};
    const Board& board;
};
