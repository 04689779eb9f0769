#include "search/history.h"

#include <cstdlib>

void HistoryTable::addScore(const Move& move, int delta) {
    int& score = scores[board.getTurn()][movingPiece(move)][move.to];
    score += delta;
    if (std::abs(score) < HISTORY_LIMIT) return;
    for (auto& byPiece : scores)
        for (auto& bySquare : byPiece)
            for (int& value : bySquare) value /= 2;
}

void HistoryTable::clear() {
    for (auto& byPiece : scores)
        for (auto& bySquare : byPiece)
            for (int& value : bySquare) value = 0;
}
