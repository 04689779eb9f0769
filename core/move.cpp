#include "core/types.h"

#include <ostream>

std::ostream& operator<<(std::ostream& out, const Move& move) {
    const auto squareText = [&out](int square) {
        out << static_cast<char>('a' + (square & 7)) << static_cast<char>('8' - (square >> 4));
    };
    squareText(move.from);
    squareText(move.to);
    if (move.has(PROMOTION)) {
        const bool known = move.promotion >= PAWN && move.promotion <= KING;
        out << (known ? PIECE_LETTERS[move.promotion] : ' ');
    }
    return out;
}

std::ostream& operator<<(std::ostream& out, const MoveList& moves) {
    for (std::size_t i = 0; i < moves.size(); ++i) {
        if (i > 0) out << ' ';
        out << moves[i];
    }
    return out;
}
