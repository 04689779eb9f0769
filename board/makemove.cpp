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

}  // namespace

bool Board::sideToMoveInCheck() {
    if (checkState == CHECK_UNKNOWN) checkState = inCheck(turn) ? 1 : 0;
    return checkState == 1;
}

bool Board::keepsKingSafe(const Move& move) {
    const int from = move.from;
    // The null move moves nothing: it is legal exactly when the king is not in check.
    if (!onBoard(from)) return !sideToMoveInCheck();
    if (move.has(CASTLE | ENPASSANT) || sideToMoveInCheck()) return pseudoIsLegal(move);

    // Out of check, only a king step or a piece pinned to its king can expose
    // the king, and both are told apart without playing the move. A piece off
    // every line through its king cannot be pinned.
    const int king = kingSquare(turn);
    if (from != king && LINE_STEP[from - king + SQUARE_DIFFERENCE_BIAS] == 0) return true;
    const bool safe = from == king ? kingStepIsSafe(move.to) : !leavesPinLine(from, move.to, king);
    // The full legality test would have moved a captured piece to the end of
    // its list; a refused capture does the same here, so that the order of
    // later generation does not depend on which test answered.
    if (!safe && pieceBoard[move.to] != EMPTY) listSendToEnd(move.to);
    return safe;
}

bool Board::kingStepIsSafe(int to) const {
    // The king's own square counts as empty, so that a slider on the far
    // side of it attacks the square it steps to.
    const SquareSet withoutKing = sets.occupied() & ~bitOf(kingSquare(turn));
    return !attackedThrough(to, turn ^ 1, withoutKing);
}

bool Board::leavesPinLine(int from, int to, int king) const {
    const int step = LINE_STEP[from - king + SQUARE_DIFFERENCE_BIAS];
    for (int square = king + step; square != from; square += step)
        if (colorBoard[square] != EMPTY) return false;
    for (int square = from + step; onBoard(square); square += step) {
        if (colorBoard[square] == EMPTY) continue;
        if (colorBoard[square] == turn) return false;
        const int type = pieceBoard[square];
        const bool pins = type == QUEEN || type == (isDiagonalStep(step) ? BISHOP : ROOK);
        return pins && LINE_STEP[to - king + SQUARE_DIFFERENCE_BIAS] != step;
    }
    return false;
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
    key.updateHashSide();
    turn = us ^ 1;
    if (epSquare != NO_SQUARE) key.updateHashEp(epSquare);

    // The null move only passes the turn: no piece moves and the rights stay.
    if (!onBoard(from)) {
        epSquare = NO_SQUARE;
        if (fiftyCount < INT_MAX) ++fiftyCount;
        zobrist = key;
        return true;
    }

    if (pieceBoard[to] != EMPTY) {
        key.togglePiece(pieceBoard[to], colorBoard[to], to);
        removePiece(to, pieceBoard[to], colorBoard[to]);
    }

    // Most moves leave the castling rights, and their key term, as they are.
    if (const int rights = castling & CASTLE_MASK[to] & CASTLE_MASK[from]; rights != castling) {
        key.updateHashCastle(castling);
        castling = rights;
        key.updateHashCastle(castling);
    }

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

    // Castling, promotions and en passant captures are rare: their pieces
    // move out of line, so that the common move keeps its values in registers.
    if (move.has(CASTLE | PROMOTION | ENPASSANT)) [[unlikely]] {
        key.setHash(key.getHash() ^ placeSpecialMove(move));
    } else {
        const int moving = pieceBoard[from];
        shiftPiece(from, to, moving, us);
        key.togglePiece(moving, us, from);
        key.togglePiece(moving, us, to);
    }

    zobrist = key;
    return true;
}

std::int64_t Board::placeSpecialMove(const Move& move) {
    // turn is already the opponent's.
    const int us = turn ^ 1;
    const int from = move.from;
    const int to = move.to;
    Zobrist change;
    if (move.has(CASTLE)) {
        const CastlingRight& rook = *castlingRightTo(to);
        change.togglePiece(ROOK, us, rook.rookFrom);
        change.togglePiece(ROOK, us, rook.rookTo);
        shiftPiece(rook.rookFrom, rook.rookTo, ROOK, us);
    }

    const int moving = pieceBoard[from];
    const int placed = move.has(PROMOTION) ? move.promotion : moving;
    if (placed != moving) {
        addPiece(to, placed, us);
        removePiece(from, moving, us);
    } else {
        shiftPiece(from, to, moving, us);
    }
    change.togglePiece(moving, us, from);
    change.togglePiece(placed, us, to);

    if (move.has(ENPASSANT)) {
        const int victim = to - pawnForward(us);
        change.togglePiece(PAWN, us ^ 1, victim);
        removePiece(victim, PAWN, us ^ 1);
    }
    return change.getHash();
}

void Board::undoMove() {
    assert(!undoStack.empty());
    turn ^= 1;
    const int us = turn;
    const UndoRecord& record = undoStack.back();
    const int from = record.move.from;
    const int to = record.move.to;
    const int captured = record.captured;
    castling = record.castling;
    epSquare = record.epSquare;
    fiftyCount = record.fiftyCount;
    checkState = record.checkState;
    zobrist.setHash(record.key);
    // The null move moved nothing.
    if (!onBoard(from)) {
        undoStack.pop_back();
        return;
    }

    if (record.move.has(CASTLE | PROMOTION | ENPASSANT)) [[unlikely]]
        takeBackSpecialMove(record.move);
    else
        shiftPiece(to, from, pieceBoard[to], us);
    if (captured != EMPTY) addPiece(to, captured, us ^ 1);
    undoStack.pop_back();
}

void Board::takeBackSpecialMove(const Move& move) {
    const int us = turn;
    const int from = move.from;
    const int to = move.to;
    if (move.has(PROMOTION)) {
        const int promoted = pieceBoard[to];
        addPiece(from, PAWN, us);
        removePiece(to, promoted, us);
    } else {
        shiftPiece(to, from, pieceBoard[to], us);
    }

    if (move.has(CASTLE)) {
        const CastlingRight& rook = *castlingRightTo(to);
        shiftPiece(rook.rookTo, rook.rookFrom, ROOK, us);
    }

    if (move.has(ENPASSANT)) {
        const int victim = to - pawnForward(us);
        addPiece(victim, PAWN, us ^ 1);
    }
}

bool Board::repetitionCountReaches(int count) const {
    const auto limit = std::min<std::size_t>(undoStack.size(), static_cast<std::size_t>(fiftyCount) + 1);
    int seen = 1;
    // The key holds the side to move, so only every second record, from the
    // one two plies back, can hold the current position.
    for (std::size_t i = 1; i < limit; i += 2) {
        if (repeats(undoStack[undoStack.size() - 1 - i]) && ++seen >= count) return true;
    }
    return false;
}

bool Board::repeats(const UndoRecord& earlier) const {
    const auto key = zobrist.getHash();
    if (earlier.key == key) return true;
    // Keys equal but for the en passant term: the pieces, side to move and
    // rights are the current ones, so the capture is tried on this board.
    return earlier.epSquare != NO_SQUARE && (earlier.key ^ Zobrist::enPassantKey(earlier.epSquare)) == key &&
           !hasEnPassantCaptureOnto(earlier.epSquare);
}

bool Board::isGameOver() { return isDraw() || firstLegalMove() == NOMOVE; }
