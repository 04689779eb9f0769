#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "board/board.h"


// Plays coordinate moves that must all be legal.
inline bool play(Board& board, const std::vector<std::string>& moves) {
    for (const std::string& text : moves) {
        const Move move = board.strToMove(text);
        if (!board.moveIsPseudo(move) || !board.executeMove(move)) return false;
    }
    return true;
}

// The diagram of the start position, as the engine prints it.
inline const std::string START_DIAGRAM =
    "8 ║♜ ♞ ♝ ♛ ♚ ♝ ♞ ♜      Castle   KQkq\n"
    "7 ║♟ ♟ ♟ ♟ ♟ ♟ ♟ ♟       Fifty   0\n"
    "6 ║… … … … … … … …        Turn   WHITE\n"
    "5 ║… … … … … … … …     Zobrist   e320dfcb9f5401ec\n"
    "4 ║… … … … … … … …\n"
    "3 ║… … … … … … … …\n"
    "2 ║♙ ♙ ♙ ♙ ♙ ♙ ♙ ♙\n"
    "1 ║♖ ♘ ♗ ♕ ♔ ♗ ♘ ♖\n"
    "——╚═══════════════\n"
    "———a b c d e f g h\n";

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
