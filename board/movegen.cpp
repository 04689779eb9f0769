#include <cassert>

#include "board/board.h"

namespace {

constexpr bool isSlider(int type) { return type == BISHOP || type == ROOK || type == QUEEN; }

}  // namespace

bool Board::attack(int square, int byColor) const {
    assert(onBoard(square));
    const auto holds = [this, byColor](int target, int type) {
        return (target & 0x88) == 0 && pieceBoard[target] == type && colorBoard[target] == byColor;
    };

    // Pawns attack towards the opponent: a black pawn stands a row nearer rank 8.
    const int pawnOffset = byColor == BLACK ? -16 : 16;
    if (holds(square + pawnOffset - 1, PAWN) || holds(square + pawnOffset + 1, PAWN)) return true;

    for (const int step : vector[KNIGHT])
        if (holds(square + step, KNIGHT)) return true;

    const auto slides = [this, byColor, square](int step, int type) {
        for (int target = square + step; (target & 0x88) == 0; target += step) {
            const int color = colorBoard[target];
            if (color == EMPTY) continue;
            const int piece = pieceBoard[target];
            return color == byColor && (piece == type || piece == QUEEN);
        }
        return false;
    };
    for (const int step : {15, 17, -17, -15})
        if (slides(step, BISHOP)) return true;
    for (const int step : {16, -1, 1, -16})
        if (slides(step, ROOK)) return true;

    for (const int step : vector[KING])
        if (holds(square + step, KING)) return true;
    return false;
}

void Board::genPromote(MoveList& out, int from, int to, int flags) const {
    for (const int piece : {KNIGHT, BISHOP, ROOK, QUEEN})
        out.push_back({static_cast<std::int8_t>(from), static_cast<std::int8_t>(to), static_cast<std::int8_t>(piece),
                       static_cast<std::uint8_t>(flags)});
}

void Board::genPush(MoveList& out, int from, int to, int flags) const {
    const bool lastRow = turn == WHITE ? to <= H8 : to >= A1;
    if ((flags & PAWNMOVE) != 0 && lastRow) {
        genPromote(out, from, to, flags | PROMOTION);
        return;
    }
    out.push_back({static_cast<std::int8_t>(from), static_cast<std::int8_t>(to), 0, static_cast<std::uint8_t>(flags)});
}

void Board::gen(MoveList& out) const {
    if (isDraw()) return;

    const int us = turn;
    const int them = us ^ 1;

    // Pawns: captures towards file a, then towards file h, then the advances.
    const int forward = us == WHITE ? -16 : 16;
    const PL& pawns = pieceList[us][PAWN];
    for (int i = 0; i < pawns.count; ++i) {
        const int from = pawns.squares[i];
        const int file = fileOf(from);
        if (file != 0 && colorBoard[from + forward - 1] == them) genPush(out, from, from + forward - 1, PAWNMOVE | CAPTURE);
        if (file != 7 && colorBoard[from + forward + 1] == them) genPush(out, from, from + forward + 1, PAWNMOVE | CAPTURE);
        if (colorBoard[from + forward] == EMPTY) {
            genPush(out, from, from + forward, PAWNMOVE);
            const bool homeRow = us == WHITE ? rowOf(from) >= 6 : rowOf(from) <= 1;
            if (homeRow && colorBoard[from + 2 * forward] == EMPTY)
                genPush(out, from, from + 2 * forward, PAWNMOVE | DOUBLEPUSH);
        }
    }

    for (int type = KNIGHT; type <= KING; ++type) {
        const PL& list = pieceList[us][type];
        for (int i = 0; i < list.count; ++i) {
            const int from = list.squares[i];
            const int piece = pieceBoard[from];
            for (int d = 0; d < vectorLen[piece]; ++d) {
                const int step = vector[piece][d];
                for (int to = from + step; (to & 0x88) == 0; to += step) {
                    const int color = colorBoard[to];
                    if (color == EMPTY) {
                        out.push_back({static_cast<std::int8_t>(from), static_cast<std::int8_t>(to), 0, 0});
                        if (!isSlider(piece)) break;
                        continue;
                    }
                    if (color == them)
                        out.push_back({static_cast<std::int8_t>(from), static_cast<std::int8_t>(to), 0, CAPTURE});
                    break;
                }
            }
        }
    }

    // Castling by rights and an empty path; attacks are tested when the move is made.
    const auto castle = [&out](int from, int to) {
        out.push_back({static_cast<std::int8_t>(from), static_cast<std::int8_t>(to), 0, CASTLE});
    };
    if (us == BLACK) {
        if ((castling & 4) && colorBoard[F8] == EMPTY && colorBoard[G8] == EMPTY) castle(E8, G8);
        if ((castling & 8) && colorBoard[B8] == EMPTY && colorBoard[C8] == EMPTY && colorBoard[D8] == EMPTY) castle(E8, C8);
    } else {
        if ((castling & 1) && colorBoard[F1] == EMPTY && colorBoard[G1] == EMPTY) castle(E1, G1);
        if ((castling & 2) && colorBoard[B1] == EMPTY && colorBoard[C1] == EMPTY && colorBoard[D1] == EMPTY) castle(E1, C1);
    }

    if (epSquare != NO_SQUARE) {
        const int file = fileOf(epSquare);
        const int behind = -forward;
        const auto enPassantFrom = [&](int from) {
            if (pieceBoard[from] == PAWN && colorBoard[from] == us)
                out.push_back({static_cast<std::int8_t>(from), static_cast<std::int8_t>(epSquare), 0,
                               CAPTURE | ENPASSANT | PAWNMOVE});
        };
        if (file != 0) enPassantFrom(epSquare + behind - 1);
        if (file != 7) enPassantFrom(epSquare + behind + 1);
    }
}

MoveList Board::getAllMoves() const {
    MoveList moves;
    gen(moves);
    return moves;
}
