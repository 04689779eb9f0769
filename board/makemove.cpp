#include <algorithm>
#include <array>
#include <cassert>
#include <climits>

#include "board/board.h"

namespace {

// The mask a move from or to a square ANDs into the castling rights: a king
// or rook leaving its home square, or a rook captured there, ends its rights.
// Off-board entries leave the rights alone, which the null move relies on.
constexpr auto CASTLE_MASK = [] {
    std::array<int, 128> mask{};
    for (int square = 0; square < 128; ++square) mask[square] = onBoard(square) ? 15 : -1;
    for (const CastlingRight& right : CASTLING_RIGHTS) {
        mask[right.kingFrom] &= ~right.bit;
        mask[right.rookFrom] &= ~right.bit;
    }
    return mask;
}();

// Whether two squares share a rank, file or diagonal, indexed by
// first - second + 119.
constexpr auto SHARES_LINE = [] {
    std::array<bool, 240> line{};
    for (const int step : {1, 15, 16, 17})
        for (int distance = 1; distance < 8; ++distance) {
            line[119 + step * distance] = true;
            line[119 - step * distance] = true;
        }
    return line;
}();

}  // namespace

bool Board::sideToMoveInCheck() {
    if (checkState == CHECK_UNKNOWN) checkState = inCheck(turn) ? 1 : 0;
    return checkState == 1;
}

bool Board::keepsKingSafe(const Move& move) {
    // With the king not in check, a piece other than the king that shares no
    // line with its own king cannot uncover an attack on it: the move is legal.
    const int from = move.from;
    if (!move.has(CASTLE | ENPASSANT) && onBoard(from) && pieceBoard[from] != KING &&
        !SHARES_LINE[from - kingSquare(turn) + 119] && !sideToMoveInCheck())
        return true;
    return pseudoIsLegal(move);
}

bool Board::executeMove(const Move& move) {
    if (!keepsKingSafe(move)) return false;

    const int us = turn;
    const int from = move.from;
    const int to = move.to;
    undoStack.push_back({move, static_cast<std::int8_t>(pieceBoard[to]), static_cast<std::int8_t>(castling),
                         static_cast<std::int8_t>(epSquare), checkState, fiftyCount, zobrist.getHash()});
    checkState = CHECK_UNKNOWN;
    // The key changes in a local copy, kept in a register, and is stored once.
    Zobrist key = zobrist;

    if (move.has(CASTLE)) {
        const CastlingRight& rook = *castlingRightTo(to);
        key.updateHashPiece(ROOK, colorBoard[rook.rookFrom], rook.rookFrom);
        colorBoard[rook.rookTo] = us;
        pieceBoard[rook.rookTo] = ROOK;
        key.updateHashPiece(ROOK, us, rook.rookTo);
        colorBoard[rook.rookFrom] = EMPTY;
        pieceBoard[rook.rookFrom] = EMPTY;
        pieceList[us][ROOK].replace(rook.rookFrom, rook.rookTo);
    }

    key.updateHashCastle(castling);
    if (epSquare != NO_SQUARE) key.updateHashEp(epSquare);

    if (pieceBoard[to] != EMPTY) {
        key.updateHashPiece(pieceBoard[to], colorBoard[to], to);
        pieceList[colorBoard[to]][pieceBoard[to]].erase(to);
    }

    castling &= CASTLE_MASK[to] & CASTLE_MASK[from];
    key.updateHashCastle(castling);

    if (move.has(DOUBLEPUSH)) {
        epSquare = to - pawnForward(us);
        key.updateHashEp(epSquare);
    } else {
        epSquare = NO_SQUARE;
    }

    if ((move.flags & (CAPTURE | PAWNMOVE)) != 0)
        fiftyCount = 0;
    else if (fiftyCount < INT_MAX)
        ++fiftyCount;

    const int moving = pieceBoard[from];
    colorBoard[to] = us;
    if (move.has(PROMOTION)) {
        pieceBoard[to] = move.promotion;
        pieceList[us][move.promotion].insert(to);
        pieceList[us][moving].erase(from);
    } else {
        pieceBoard[to] = moving;
        pieceList[us][moving].replace(from, to);
    }
    key.updateHashPiece(pieceBoard[to], us, to);
    key.updateHashPiece(moving, colorBoard[from], from);
    colorBoard[from] = EMPTY;
    pieceBoard[from] = EMPTY;

    if (move.has(ENPASSANT)) {
        const int victim = to - pawnForward(us);
        key.updateHashPiece(PAWN, colorBoard[victim], victim);
        pieceList[us ^ 1][PAWN].erase(victim);
        colorBoard[victim] = EMPTY;
        pieceBoard[victim] = EMPTY;
    }

    turn = us ^ 1;
    key.updateHashSide();
    zobrist = key;
    return true;
}

void Board::undoMove() {
    assert(!undoStack.empty());
    turn ^= 1;
    const int us = turn;
    const UndoRecord record = undoStack.back();
    undoStack.pop_back();
    const int from = record.move.from;
    const int to = record.move.to;
    castling = record.castling;
    epSquare = record.epSquare;
    fiftyCount = record.fiftyCount;
    checkState = record.checkState;
    zobrist.setHash(record.key);

    colorBoard[from] = us;
    if (record.move.has(PROMOTION)) {
        pieceBoard[from] = PAWN;
        pieceList[us][PAWN].insert(from);
        pieceList[us][pieceBoard[to]].erase(to);
    } else {
        pieceBoard[from] = pieceBoard[to];
        pieceList[us][pieceBoard[to]].replace(to, from);
    }

    if (record.captured == EMPTY) {
        colorBoard[to] = EMPTY;
        pieceBoard[to] = EMPTY;
    } else {
        colorBoard[to] = us ^ 1;
        pieceBoard[to] = record.captured;
        pieceList[us ^ 1][record.captured].insert(to);
    }

    if (record.move.has(CASTLE)) {
        const CastlingRight& rook = *castlingRightTo(to);
        colorBoard[rook.rookFrom] = us;
        pieceBoard[rook.rookFrom] = ROOK;
        colorBoard[rook.rookTo] = EMPTY;
        pieceBoard[rook.rookTo] = EMPTY;
        pieceList[us][ROOK].replace(rook.rookTo, rook.rookFrom);
    }

    if (record.move.has(ENPASSANT)) {
        const int victim = to - pawnForward(us);
        colorBoard[victim] = us ^ 1;
        pieceBoard[victim] = PAWN;
        pieceList[us ^ 1][PAWN].insert(victim);
    }
}

bool Board::repetitionCountReaches(int count) const {
    const auto key = zobrist.getHash();
    const auto limit = std::min<std::size_t>(undoStack.size(), static_cast<std::size_t>(fiftyCount) + 1);
    int seen = 1;
    for (std::size_t i = 0; i < limit; ++i) {
        if (undoStack[undoStack.size() - 1 - i].key == key && ++seen >= count) return true;
    }
    return false;
}

bool Board::isDraw() const { return fiftyCount > 99 || repetitionCountReaches(3); }

bool Board::isGameOver() { return isDraw() || firstLegalMove() == NOMOVE; }
