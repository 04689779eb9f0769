#include <algorithm>
#include <cassert>

#include "board/board.h"
#include "board/piece_reach.h"

bool Board::attack(int square, int byColor) const { return attackedThrough(square, byColor, sets.occupied()); }

bool Board::attackedThrough(int square, int byColor, SquareSet occupied) const {
    assert(onBoard(square));
    return squareAttacked(bitIndex(square), byColor, sets.byType[byColor], occupied);
}

void Board::gen(MoveList& out) const {
    if (!isDraw()) generate<GenerationScope::ALL_MOVES>(out);
}

void Board::genIgnoringDraw(MoveList& out) const { generate<GenerationScope::ALL_MOVES>(out); }

void Board::genCaptures(MoveList& out) const {
    if (!isDraw()) generate<GenerationScope::CAPTURES_AND_PROMOTIONS>(out);
}

namespace {

// Appends a pawn move at the cursor; onto the last row it is four
// promotions, knight to queen.
void addPawnMove(Move*& cursor, int from, int to, int flags, bool promotes) {
    if (!promotes) {
        *cursor++ = makeMove(from, to, flags);
        return;
    }
    for (const int piece : {KNIGHT, BISHOP, ROOK, QUEEN}) *cursor++ = makeMove(from, to, flags | PROMOTION, piece);
}

}  // namespace

template <Board::GenerationScope scope>
void Board::generate(MoveList& out) const {
    constexpr bool quietMoves = scope == GenerationScope::ALL_MOVES;

    const int us = turn;
    const int them = us ^ 1;
    Move* cursor = out.end();

    // Pawns: captures towards file a, then towards file h, then the advances.
    const int forward = pawnForward(us);
    const int promotionRow = us == WHITE ? 1 : 6;
    const int startRow = us == WHITE ? 6 : 1;
    const PieceList& pawns = pieceList[pieceCode(us, PAWN)];
    for (int i = 0; i < pawns.count; ++i) {
        const int from = pawns.squares[i];
        const int file = fileOf(from);
        const bool promotes = rowOf(from) == promotionRow;
        if (file != 0 && colorBoard[from + forward - 1] == them)
            addPawnMove(cursor, from, from + forward - 1, PAWNMOVE | CAPTURE, promotes);
        if (file != 7 && colorBoard[from + forward + 1] == them)
            addPawnMove(cursor, from, from + forward + 1, PAWNMOVE | CAPTURE, promotes);
        if (colorBoard[from + forward] == EMPTY && (quietMoves || promotes)) {
            addPawnMove(cursor, from, from + forward, PAWNMOVE, promotes);
            if (rowOf(from) == startRow && colorBoard[from + 2 * forward] == EMPTY)
                *cursor++ = makeMove(from, from + 2 * forward, PAWNMOVE | DOUBLEPUSH);
        }
    }

    cursor = generatePieceMoves<KNIGHT, scope>(cursor);
    cursor = generatePieceMoves<BISHOP, scope>(cursor);
    cursor = generatePieceMoves<ROOK, scope>(cursor);
    cursor = generatePieceMoves<QUEEN, scope>(cursor);
    cursor = generatePieceMoves<KING, scope>(cursor);

    if constexpr (quietMoves) cursor = addCastlingMoves(cursor);

    out.setEnd(addEnPassantCaptures(cursor));
}

// Castling by rights and an empty path; attacks are tested when the move is made.
Move* Board::addStandingCastlingMoves(Move* cursor) const {
    for (const CastlingRight& right : CASTLING_RIGHTS)
        if (right.color == turn && (state.castling & right.bit) != 0 && castlingPathIsEmpty(right))
            *cursor++ = makeMove(right.kingFrom, right.kingTo, CASTLE);
    return cursor;
}

Move* Board::addEnPassantCapturesOnto(int square, Move* cursor) const {
    const int behind = -pawnForward(turn);
    const auto enPassantFrom = [&](int from) {
        if (pieceBoard[from] == PAWN && colorBoard[from] == turn)
            *cursor++ = makeMove(from, square, CAPTURE | ENPASSANT | PAWNMOVE);
    };
    if (fileOf(square) != 0) enPassantFrom(square + behind - 1);
    if (fileOf(square) != 7) enPassantFrom(square + behind + 1);
    return cursor;
}

// Appends at the cursor the moves of the side to move's pieces of one type,
// in list order, each piece's steps in table order and a slider's squares
// outwards; answers the cursor after them.
template <int type, Board::GenerationScope scope>
Move* Board::generatePieceMoves(Move* cursor) const {
    constexpr bool quietMoves = scope == GenerationScope::ALL_MOVES;
    const int them = turn ^ 1;
    const PieceList& list = pieceList[pieceCode(turn, type)];
    for (int i = 0; i < list.count; ++i) {
        const int from = list.squares[i];
        for (int d = 0; d < PIECE_STEP_COUNT[type]; ++d) {
            const int step = PIECE_STEPS[type][d];
            for (int to = from + step; onBoard(to); to += step) {
                const int color = colorBoard[to];
                if (color == EMPTY) {
                    if constexpr (quietMoves) *cursor++ = makeMove(from, to, 0);
                    if constexpr (!isSlider(type)) break;
                    continue;
                }
                if (color == them) *cursor++ = makeMove(from, to, CAPTURE);
                break;
            }
        }
    }
    return cursor;
}

MoveList Board::getAllMoves() const {
    MoveList moves;
    gen(moves);
    return moves;
}

bool Board::castlingPathIsEmpty(const CastlingRight& right) const {
    return std::all_of(right.mustBeEmpty.begin(), right.mustBeEmpty.end(),
                       [this](int square) { return square == NO_SQUARE || colorBoard[square] == EMPTY; });
}

Move Board::firstLegalMove() {
    MoveList moves;
    generate<GenerationScope::ALL_MOVES>(moves);
    for (const Move& move : moves)
        if (pseudoIsLegal(move)) return move;
    return NOMOVE;
}
