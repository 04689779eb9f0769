#include <algorithm>
#include <array>
#include <cassert>

#include "board/board.h"

namespace {

// For each difference attacker - target + SQUARE_DIFFERENCE_BIAS: the piece
// types that could attack across it on an empty board.
constexpr auto ATTACKER_TYPES = [] {
    std::array<std::uint8_t, SQUARE_DIFFERENCES> types{};
    for (int type = KNIGHT; type <= KING; ++type) {
        for (int d = 0; d < PIECE_STEP_COUNT[type]; ++d) {
            const int reach = isSlider(type) ? 7 : 1;
            // A piece moving by the step reaches the target from distance
            // steps before it.
            for (int distance = 1; distance <= reach; ++distance)
                types[SQUARE_DIFFERENCE_BIAS - PIECE_STEPS[type][d] * distance] |= static_cast<std::uint8_t>(1 << type);
        }
    }
    return types;
}();

}  // namespace

bool Board::attack(int square, int byColor) const {
    assert(onBoard(square));

    // Pawns attack towards the opponent: a black pawn stands a row nearer rank 8.
    const int pawnOffset = -pawnForward(byColor);
    for (const int from : {square + pawnOffset - 1, square + pawnOffset + 1})
        if ((from & 0x88) == 0 && pieceBoard[from] == PAWN && colorBoard[from] == byColor) return true;

    return listAttacks<KNIGHT>(square, byColor) || listAttacks<BISHOP>(square, byColor) ||
           listAttacks<ROOK>(square, byColor) || listAttacks<QUEEN>(square, byColor) ||
           listAttacks<KING>(square, byColor);
}

// Whether a piece of byColor and the type attacks the square: a table tells
// whether the type can reach it at all; sliders then need an empty path.
template <int type>
bool Board::listAttacks(int square, int byColor) const {
    const PieceList& list = pieceList[byColor][type];
    for (int i = 0; i < list.count; ++i) {
        const int from = list.squares[i];
        const int index = from - square + SQUARE_DIFFERENCE_BIAS;
        if ((ATTACKER_TYPES[index] & (1 << type)) == 0) continue;
        if constexpr (!isSlider(type)) return true;
        // The path runs from the square back towards the slider.
        const int step = LINE_STEP[index];
        int between = square + step;
        while (between != from && colorBoard[between] == EMPTY) between += step;
        if (between == from) return true;
    }
    return false;
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
    const PieceList& pawns = pieceList[us][PAWN];
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

    // Castling by rights and an empty path; attacks are tested when the move is made.
    if constexpr (quietMoves) {
        for (const CastlingRight& right : CASTLING_RIGHTS)
            if (right.color == us && (castling & right.bit) != 0 && castlingPathIsEmpty(right))
                *cursor++ = makeMove(right.kingFrom, right.kingTo, CASTLE);
    }

    out.setEnd(addEnPassantCaptures(cursor));
}

Move* Board::addEnPassantCaptures(Move* cursor) const {
    if (epSquare == NO_SQUARE) return cursor;
    const int behind = -pawnForward(turn);
    const auto enPassantFrom = [&](int from) {
        if (pieceBoard[from] == PAWN && colorBoard[from] == turn)
            *cursor++ = makeMove(from, epSquare, CAPTURE | ENPASSANT | PAWNMOVE);
    };
    if (fileOf(epSquare) != 0) enPassantFrom(epSquare + behind - 1);
    if (fileOf(epSquare) != 7) enPassantFrom(epSquare + behind + 1);
    return cursor;
}

// Appends at the cursor the moves of the side to move's pieces of one type,
// in list order, each piece's steps in table order and a slider's squares
// outwards; answers the cursor after them.
template <int type, Board::GenerationScope scope>
Move* Board::generatePieceMoves(Move* cursor) const {
    constexpr bool quietMoves = scope == GenerationScope::ALL_MOVES;
    const int them = turn ^ 1;
    const PieceList& list = pieceList[turn][type];
    for (int i = 0; i < list.count; ++i) {
        const int from = list.squares[i];
        for (int d = 0; d < PIECE_STEP_COUNT[type]; ++d) {
            const int step = PIECE_STEPS[type][d];
            for (int to = from + step; (to & 0x88) == 0; to += step) {
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
