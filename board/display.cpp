#include <cassert>
#include <ostream>

#include "board/board.h"

namespace {

constexpr const char* WHITE_GLYPHS[6] = {"♙", "♘", "♗", "♖", "♕", "♔"};
constexpr const char* BLACK_GLYPHS[6] = {"♟", "♞", "♝", "♜", "♛", "♚"};

}  // namespace

void Board::print(std::ostream& out) const {
    for (int row = 0; row < 8; ++row) {
        out << 8 - row << " ║";
        for (int file = 0; file < 8; ++file) {
            const int square = makeSquare(row, file);
            if (file > 0) out << ' ';
            if (square == epSquare) {
                out << 'X';
            } else if (colorBoard[square] == EMPTY) {
                out << "…";
            } else {
                const int piece = pieceBoard[square];
                assert(piece >= PAWN && piece <= KING);
                out << (colorBoard[square] == WHITE ? WHITE_GLYPHS[piece] : BLACK_GLYPHS[piece]);
            }
        }
        switch (row) {
            case 0:
                out << "      Castle   ";
                for (const CastlingRight& right : CASTLING_RIGHTS)
                    if ((castling & right.bit) != 0) out << right.letter;
                break;
            case 1: out << "       Fifty   " << fiftyCount; break;
            case 2: out << "        Turn   " << (turn == WHITE ? "WHITE" : "BLACK"); break;
            case 3: out << "     Zobrist   " << std::hex << getZobristKey() << std::dec; break;
            default: break;
        }
        out << std::endl;
    }
    out << "——╚═══════════════" << std::endl;
    out << "———a b c d e f g h" << std::endl;
}
