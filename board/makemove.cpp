#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <climits>
#include <cstdint>

#include "board/board.h"
#include "board/piece_reach.h"

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

// The squares strictly between two squares (bits) on a line, none when they
// share no line.
constexpr auto BETWEEN = [] {
    std::array<std::array<SquareSet, 64>, 64> between{};
    for (int bit = 0; bit < 64; ++bit)
        for (const int step : PIECE_STEPS[QUEEN]) {
            SquareSet passed = 0;
            for (int square = squareOfBit(bit) + step; onBoard(square); square += step) {
                between[bit][bitIndex(square)] = passed;
                passed |= bitOf(square);
            }
        }
    return between;
}();

// The flags of the moves that change more than the moving piece's square:
// castling also moves a rook, a promotion changes the piece, and an en
// passant capture takes a pawn from another square.
constexpr std::uint8_t SPECIAL_MOVE_FLAGS = CASTLE | PROMOTION | ENPASSANT;

}  // namespace

bool Board::sideToMoveInCheck() {
    if (state.checkState == CHECK_UNKNOWN) findKingThreats();
    return state.checkState == 1;
}

void Board::findKingThreats() {
    // Once the threats are known, executeMove may push a record without
    // looking for room: the room is made here, and a record pushed makes
    // them unknown again until this runs for the new position.
    if (undoStack.full()) [[unlikely]]
        undoStack.grow();
    const int us = turn;
    const int them = us ^ 1;
    const int king = kingSquare(us);
    const int kingBit = bitIndex(king);
    const SquareSet(&enemy)[6] = sets.byType[them];
    const SquareSet occupied = sets.occupied();
    SquareSet checkers = (PAWN_ATTACKERS[them][kingBit] & enemy[PAWN]) | (STEP_REACH<KNIGHT>[kingBit] & enemy[KNIGHT]);
    SquareSet evasions = checkers;
    SquareSet pinned = 0;
    // Only an enemy slider on a line through the king can check along it or
    // pin a piece to it. The other king never stands next to this one: a FEN
    // with the kings side by side has the side not to move in check, and no
    // legal move steps a king next to the other.
    for (SquareSet sliders = (LINES<BISHOP>[kingBit] & (enemy[BISHOP] | enemy[QUEEN])) |
                             (LINES<ROOK>[kingBit] & (enemy[ROOK] | enemy[QUEEN]));
         sliders != 0; sliders &= sliders - 1) {
        const int slider = std::countr_zero(sliders);
        const SquareSet between = BETWEEN[kingBit][slider];
        const SquareSet blockers = between & occupied;
        if (blockers == 0) {
            checkers |= SquareSet{1} << slider;
            evasions |= between | SquareSet{1} << slider;
        } else if ((blockers & (blockers - 1)) == 0) {
            pinned |= blockers;
        }
    }
    // Only the side to move's own pieces are pinned.
    pinned &= sets.all[us];
    if (checkers == 0) {
        state.checkState = 0;
        state.guard = pinned | bitOf(king);
    } else {
        state.checkState = 1;
        // In double check only the king may move.
        state.guard = (checkers & (checkers - 1)) == 0 ? evasions : 0;
    }
}

bool Board::keepsKingSafe(const Move& move) {
    if (state.checkState == CHECK_UNKNOWN) findKingThreats();
    const int from = move.from;
    const int to = move.to;
    // The null move moves nothing: it is legal exactly when the king is not in check.
    if (!onBoard(from)) return state.checkState == 0;
    if (move.has(CASTLE | ENPASSANT)) return pseudoIsLegal(move);
    const int king = kingSquare(turn);
    bool safe = true;
    if (state.checkState != 0) {
        // In check, a move other than the king's must take the checker or
        // step between it and the king; the full test plays the others.
        if (from == king || (state.guard & bitOf(to)) != 0) return pseudoIsLegal(move);
        safe = false;
    } else if (from == king) {
        safe = kingStepIsSafe(to);
    } else if ((state.guard & bitOf(from)) != 0) {
        // A pinned piece stays on the line through its king.
        safe = LINE_STEP[to - king + SQUARE_DIFFERENCE_BIAS] == LINE_STEP[from - king + SQUARE_DIFFERENCE_BIAS];
    }
    // The full legality test would have moved a captured piece to the end of
    // its list; a refused capture does the same here, so that the order of
    // later generation does not depend on which test answered.
    if (!safe && pieceBoard[to] != EMPTY) listSendToEnd(to);
    return safe;
}

bool Board::kingStepIsSafe(int to) const {
    // The king's own square counts as empty, so that a slider on the far
    // side of it attacks the square it steps to.
    const SquareSet withoutKing = sets.occupied() & ~bitOf(kingSquare(turn));
    return !attackedThrough(to, turn ^ 1, withoutKing);
}

[[gnu::always_inline]] inline bool Board::playPlainMove(const Move& move) {
    return move.has(CAPTURE) ? playPieceMove<true>(move) : playPieceMove<false>(move);
}

// The common move is played without calls, so that it needs few registers:
// every other case leaves through a tail call.
bool Board::executeMove(const Move& move) {
    const int from = move.from;
    // Known out of check, a move other than the null move, a castling, a
    // promotion or an en passant capture, by a piece other than the king
    // and not pinned to it. With the threats known there is room for the
    // undo record (findKingThreats).
    if ((state.checkState | (from & OFF_BOARD_BITS) | (move.flags & SPECIAL_MOVE_FLAGS)) != 0 ||
        (state.guard & bitOf(from)) != 0) [[unlikely]]
        return executeOtherMove(move);
    return playPlainMove(move);
}

bool Board::executeOtherMove(const Move& move) {
    if (!keepsKingSafe(move)) return false;
    if (!onBoard(move.from)) {
        passTurn(move);
        return true;
    }
    if (!move.has(SPECIAL_MOVE_FLAGS)) return playPlainMove(move);
    playSpecialMove(move);
    return true;
}

// The state of the position after the move but for the pieces, its key
// without the terms of the pieces that move. A plain capture (CAPTURE
// without ENPASSANT), as the generator makes it, is no double step and
// resets the fifty-move count.
template <Board::MoveKind kind>
[[gnu::always_inline]] inline std::int64_t Board::passStateOn(const Move& move, int captured) {
    const int us = turn;
    const unsigned from = static_cast<std::uint8_t>(move.from);
    const unsigned to = static_cast<std::uint8_t>(move.to);
    const unsigned flags = move.flags;
    UndoRecord& record = undoStack.push();
    record.saved = state;
    record.move = move;
    record.captured = static_cast<std::int8_t>(captured);

    turn = us ^ 1;
    state.checkState = CHECK_UNKNOWN;
    std::int64_t key = state.zobrist.getHash() ^ Zobrist::sideKey();
    if (state.epSquare != NO_SQUARE) key ^= Zobrist::enPassantKey(state.epSquare);
    if (kind != MoveKind::PLAIN_CAPTURE && (flags & DOUBLEPUSH) != 0) {
        state.epSquare = static_cast<std::int8_t>(to - pawnForward(us));
        key ^= Zobrist::enPassantKey(state.epSquare);
    } else {
        state.epSquare = NO_SQUARE;
    }

    if (kind == MoveKind::PLAIN_CAPTURE || (flags & (CAPTURE | PAWNMOVE)) != 0)
        state.fiftyCount = 0;
    else if (state.fiftyCount < INT_MAX)
        ++state.fiftyCount;

    // Most moves leave the castling rights, and their key term, as they are.
    if (const int castling = state.castling; castling != 0) {
        if (const int rights = castling & CASTLE_MASK[to] & CASTLE_MASK[from]; rights != castling) {
            key ^= Zobrist::castleKey(castling) ^ Zobrist::castleKey(rights);
            state.castling = static_cast<std::int8_t>(rights);
        }
    }
    return key;
}

template <bool capture>
bool Board::playPieceMove(const Move& move) {
    const int us = turn;
    const unsigned from = static_cast<std::uint8_t>(move.from);
    const unsigned to = static_cast<std::uint8_t>(move.to);
    const int moving = pieceBoard[from];
    const int captured = capture ? pieceBoard[to] : EMPTY;
    constexpr MoveKind kind = capture ? MoveKind::PLAIN_CAPTURE : MoveKind::PLAIN_QUIET;
    std::int64_t key = passStateOn<kind>(move, captured);

    const SquareSet toBit = bitOf(to);
    if constexpr (capture) {
        // The captured piece leaves its list and sets; the mover takes its
        // square on the board.
        const int them = us ^ 1;
        const int code = pieceCode(them, captured);
        key ^= Zobrist::pieceKey(code, to);
        state.pieceValueSums[them] -= PIECE_VALUE_BY_SQUARE[code][to];
        sets.all[them] ^= toBit;
        sets.byType[them][captured] ^= toBit;
        listErase(code, to);
    }

    const int code = pieceCode(us, moving);
    colorBoard[to] = us;
    pieceBoard[to] = moving;
    colorBoard[from] = EMPTY;
    pieceBoard[from] = EMPTY;
    listReplace(from, to);
    const SquareSet bits = bitOf(from) | toBit;
    sets.all[us] ^= bits;
    sets.byType[us][moving] ^= bits;
    state.pieceValueSums[us] += PIECE_VALUE_BY_SQUARE[code][to] - PIECE_VALUE_BY_SQUARE[code][from];
    state.zobrist.setHash(key ^ Zobrist::pieceKey(code, from) ^ Zobrist::pieceKey(code, to));
    return true;
}

void Board::playSpecialMove(const Move& move) {
    // The captured piece of a promotion leaves its square, which the
    // promotion's piece takes.
    const int captured = pieceBoard[move.to];
    std::int64_t key = passStateOn<MoveKind::SPECIAL>(move, captured);
    if (captured != EMPTY) {
        key ^= Zobrist::pieceKey(pieceCode(turn, captured), move.to);
        removePiece(move.to, captured, turn);
    }
    state.zobrist.setHash(key ^ placeSpecialMove(move));
}

void Board::passTurn(const Move& move) {
    UndoRecord& record = undoStack.push();
    record.saved = state;
    record.move = move;
    record.captured = EMPTY;
    std::int64_t key = state.zobrist.getHash() ^ Zobrist::sideKey();
    if (state.epSquare != NO_SQUARE) key ^= Zobrist::enPassantKey(state.epSquare);
    turn ^= 1;
    state.checkState = CHECK_UNKNOWN;
    state.epSquare = NO_SQUARE;
    if (state.fiftyCount < INT_MAX) ++state.fiftyCount;
    state.zobrist.setHash(key);
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

// The common move is taken back without calls; the null move and special
// moves leave through a tail call.
void Board::undoMove() {
    assert(!undoStack.empty());
    const UndoRecord& record = undoStack.back();
    if (((record.move.from & OFF_BOARD_BITS) | (record.move.flags & SPECIAL_MOVE_FLAGS)) != 0) [[unlikely]]
        return undoOtherMove();
    if (record.captured == EMPTY) return undoPieceMove<false>();
    return undoPieceMove<true>();
}

template <bool capture>
void Board::undoPieceMove() {
    const UndoRecord& record = undoStack.back();
    const int us = turn ^ 1;
    const unsigned from = static_cast<std::uint8_t>(record.move.from);
    const unsigned to = static_cast<std::uint8_t>(record.move.to);
    const int moving = pieceBoard[to];
    turn = us;
    colorBoard[from] = us;
    pieceBoard[from] = moving;
    listReplace(to, from);
    const SquareSet toBit = bitOf(to);
    const SquareSet bits = bitOf(from) | toBit;
    sets.all[us] ^= bits;
    sets.byType[us][moving] ^= bits;
    if constexpr (capture) {
        const int them = us ^ 1;
        const int captured = record.captured;
        colorBoard[to] = them;
        pieceBoard[to] = captured;
        sets.all[them] ^= toBit;
        sets.byType[them][captured] ^= toBit;
        listInsert(pieceCode(them, captured), to);
    } else {
        colorBoard[to] = EMPTY;
        pieceBoard[to] = EMPTY;
    }
    // The sums of piece values come back with the rest of the state.
    state = record.saved;
    undoStack.pop();
}

void Board::undoOtherMove() {
    const UndoRecord& record = undoStack.back();
    turn ^= 1;
    // The null move moved nothing.
    if (onBoard(record.move.from)) {
        takeBackSpecialMove(record.move);
        if (record.captured != EMPTY) addPiece(record.move.to, record.captured, turn ^ 1);
    }
    state = record.saved;
    undoStack.pop();
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
    const auto limit = std::min<std::size_t>(undoStack.size(), static_cast<std::size_t>(state.fiftyCount) + 1);
    int seen = 1;
    // The key holds the side to move, so only every second record, from the
    // one two plies back, can hold the current position.
    for (std::size_t i = 1; i < limit; i += 2) {
        if (repeats(undoStack.fromTop(i)) && ++seen >= count) return true;
    }
    return false;
}

bool Board::repeats(const UndoRecord& earlier) const {
    const auto key = state.zobrist.getHash();
    const auto earlierKey = earlier.saved.zobrist.getHash();
    const int earlierEp = earlier.saved.epSquare;
    if (earlierKey == key) return true;
    // Keys equal but for the en passant term: the pieces, side to move and
    // rights are the current ones, so the capture is tried on this board.
    return earlierEp != NO_SQUARE && (earlierKey ^ Zobrist::enPassantKey(earlierEp)) == key &&
           !hasEnPassantCaptureOnto(earlierEp);
}

bool Board::isGameOver() { return isDraw() || firstLegalMove() == NOMOVE; }
