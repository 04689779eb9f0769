#include "board/board.h"

#include <cassert>
#include <stdexcept>

PieceList::PieceList() {
    for (int& square : squares) square = NO_SQUARE;
}

Board::Board() : Board(START_FEN) {}

Board::Board(const std::string& fen) {
    if (const std::string problem = setFen(fen); !problem.empty())
        throw std::invalid_argument("invalid FEN: " + problem);
}

std::int64_t Board::computeKey() const {
    Zobrist fresh;
    for (int square = 0; square < 128; ++square)
        if (onBoard(square) && pieceBoard[square] != EMPTY)
            fresh.togglePiece(pieceBoard[square], colorBoard[square], square);
    if (turn == BLACK) fresh.updateHashSide();
    fresh.updateHashCastle(castling);
    if (epSquare != NO_SQUARE) fresh.updateHashEp(epSquare);
    return fresh.getHash();
}
