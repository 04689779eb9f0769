#include "board/board.h"

#include <cassert>
#include <sstream>

PL::PL() {
    for (int& square : squares) square = NO_SQUARE;
}

void PL::insert(int square) {
    assert(count < 16);
    squares[count++] = square;
}

void PL::erase(int square) {
    for (int i = 0; i < count; ++i) {
        if (squares[i] == square) {
            --count;
            squares[i] = squares[count];
            squares[count] = NO_SQUARE;
            return;
        }
    }
}

void PL::mutate(int from, int to) {
    for (int i = 0; i < count; ++i) {
        if (squares[i] == from) {
            squares[i] = to;
            return;
        }
    }
}

Board::Board() : Board(START_FEN) {}

Board::Board(const std::string& fen) { fromFEN(fen); }

void Board::clear() {
    history.clear();
    zobrist.reset();
}

void Board::putPiece(int square, int type, int color) {
    pieceBoard[square] = type;
    colorBoard[square] = color;
    zobrist.updateHashPiece(type, color, square);
    pieceList[color][type].insert(square);
}

void Board::fromFEN(const std::string& fen) {
    for (auto& lists : pieceList)
        for (PL& list : lists) list = PL();
    for (int& code : colorBoard) code = EMPTY;
    for (int& code : pieceBoard) code = EMPTY;

    checkState = CHECK_UNKNOWN;

    std::istringstream fields(fen);
    std::string placement, side, rights, enPassant;
    fields >> placement >> side >> rights >> enPassant;

    int row = 0, file = 0;
    for (const char ch : placement) {
        if (ch == '/') {
            ++row;
            file = 0;
        } else if (ch >= '1' && ch <= '8') {
            file += ch - '0';
        } else if (row < 8 && file < 8) {
            const auto letter = std::string_view(PIECE_LETTERS).find(static_cast<char>(ch | 0x20));
            if (letter == std::string_view::npos) continue;
            putPiece(makeSquare(row, file), static_cast<int>(letter), ch >= 'a' ? BLACK : WHITE);
            ++file;
        }
    }

    turn = side == "b" ? BLACK : WHITE;
    if (turn == BLACK) zobrist.updateHashSide();

    castling = 0;
    for (const char ch : rights) {
        if (ch == 'K') castling |= 1;
        if (ch == 'Q') castling |= 2;
        if (ch == 'k') castling |= 4;
        if (ch == 'q') castling |= 8;
    }
    zobrist.updateHashCastle(castling);

    epSquare = NO_SQUARE;
    if (enPassant.size() == 2) {
        epSquare = makeSquare('8' - enPassant[1], enPassant[0] - 'a');
        zobrist.updateHashEp(epSquare);
    }

    fiftyCount = 0;
    fields >> fiftyCount;
    if (!fields) fiftyCount = 0;
}

std::int64_t Board::computeKey() const {
    Zobrist fresh;
    for (int square = 0; square < 128; ++square)
        if (onBoard(square)) fresh.updateHashPiece(pieceBoard[square], colorBoard[square], square);
    if (turn == BLACK) fresh.updateHashSide();
    fresh.updateHashCastle(castling);
    if (epSquare != NO_SQUARE) fresh.updateHashEp(epSquare);
    return fresh.getHash();
}
