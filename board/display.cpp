#include <cassert>
#include <ostream>
#include <string>

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
            if (square == state.epSquare) {
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
                    if ((state.castling & right.bit) != 0) out << right.letter;
                break;
            case 1: out << "       Fifty   " << state.fiftyCount; break;
            case 2: out << "        Turn   " << (turn == WHITE ? "WHITE" : "BLACK"); break;
            case 3: out << "     Zobrist   " << std::hex << getZobristKey() << std::dec; break;
            default: break;
        }
        out << std::endl;
    }
    out << "——╚═══════════════" << std::endl;
    out << "———a b c d e f g h" << std::endl;
}

std::string Board::toFen() const {
    std::string fen;
    for (int row = 0; row < 8; ++row) {
        int empty = 0;
        for (int file = 0; file < 8; ++file) {
            const int square = makeSquare(row, file);
            if (colorBoard[square] == EMPTY) {
                ++empty;
                continue;
            }
            if (empty > 0) fen += static_cast<char>('0' + empty);
            empty = 0;
            const char letter = PIECE_LETTERS[pieceBoard[square]];
            fen += colorBoard[square] == WHITE ? static_cast<char>(letter - 'a' + 'A') : letter;
        }
        if (empty > 0) fen += static_cast<char>('0' + empty);
        if (row < 7) fen += '/';
    }
    fen += turn == WHITE ? " w " : " b ";
    for (const CastlingRight& right : CASTLING_RIGHTS)
        if ((state.castling & right.bit) != 0) fen += right.letter;
    if (state.castling == 0) fen += '-';
    fen += ' ';
    if (state.epSquare == NO_SQUARE) {
        fen += '-';
    } else {
        fen += static_cast<char>('a' + fileOf(state.epSquare));
        fen += static_cast<char>('8' - rowOf(state.epSquare));
    }
    return fen + " " + std::to_string(state.fiftyCount) + " 1";
}
