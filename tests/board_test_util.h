#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "board/board.h"

inline Board boardFrom(const std::string& fen) {
    Board board;
    board.clear();
    board.fromFEN(fen);
    return board;
}

// Plays coordinate moves that must all be legal.
inline bool play(Board& board, const std::vector<std::string>& moves) {
    for (const std::string& text : moves) {
        const Move move = board.strToMove(text);
        if (!board.moveIsPseudo(move) || !board.executeMove(move)) return false;
    }
    return true;
}

inline std::string moveText(const Move& move) {
    std::ostringstream out;
    out << move;
    return out.str();
}

inline std::string listText(const MoveList& moves) {
    std::ostringstream out;
    out << moves;
    return out.str();
}
