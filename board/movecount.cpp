#include <array>
#include <cstdint>

#include "board/board.h"

namespace {

// A set of on-board squares, one bit per square (row * 8 + file).
using SquareBits = std::uint64_t;

[[nodiscard]] constexpr SquareBits squareBit(int square) { return SquareBits{1} << ((square + (square & 7)) >> 1); }

constexpr SquareBits EVERY_SQUARE = ~SquareBits{0};

// Whether a knight crosses the difference attacker - target + 119 in one step.
constexpr auto KNIGHT_REACH = [] {
    std::array<bool, 240> reach{};
    for (const int step : PIECE_STEPS[KNIGHT]) reach[119 - step] = true;
    return reach;
}();

}  // namespace

// The pieces of the side to move pinned to their king, and the squares a
// move other than the king's must reach: every square out of check, the
// checker and the squares between it and the king in single check, none in
// double check.
struct Board::KingSafety {
    int king;
    SquareBits pinned;
    SquareBits evasions;
    bool inCheck;

    // Whether a piece, not the king, may go from from to to.
    [[nodiscard]] bool allows(int from, int to) const {
        if ((evasions & squareBit(to)) == 0) return false;
        return (pinned & squareBit(from)) == 0 || LINE_STEP[to - king + 119] == LINE_STEP[from - king + 119];
    }
    // Whether every pseudo-legal move of the piece on from is legal.
    [[nodiscard]] bool frees(int from) const { return !inCheck && (pinned & squareBit(from)) == 0; }
};

Board::KingSafety Board::kingSafety() const {
    const int us = turn;
    const int them = us ^ 1;
    const int king = kingSquare(us);
    KingSafety safety{king, 0, 0, false};
    int checkers = 0;

    // Only an enemy slider on a line through the king can check along it or
    // pin a piece to it.
    for (const int type : {BISHOP, ROOK, QUEEN}) {
        const PieceList& list = pieceList[them][type];
        for (int i = 0; i < list.count; ++i) {
            const int slider = list.squares[i];
            const int step = LINE_STEP[slider - king + 119];
            if (step == 0 || (type != QUEEN && isDiagonalStep(step) != (type == BISHOP))) continue;
            int blocker = NO_SQUARE;
            int blockers = 0;
            SquareBits line = squareBit(slider);
            for (int square = king + step; square != slider; square += step) {
                line |= squareBit(square);
                if (colorBoard[square] != EMPTY && ++blockers == 1) blocker = square;
            }
            if (blockers == 0) {
                ++checkers;
                safety.evasions = line;
            } else if (blockers == 1 && colorBoard[blocker] == us) {
                safety.pinned |= squareBit(blocker);
            }
        }
    }
    const PieceList& knights = pieceList[them][KNIGHT];
    for (int i = 0; i < knights.count; ++i) {
        if (!KNIGHT_REACH[knights.squares[i] - king + 119]) continue;
        ++checkers;
        safety.evasions = squareBit(knights.squares[i]);
    }
    for (const int from : {king + pawnForward(us) - 1, king + pawnForward(us) + 1}) {
        if (!onBoard(from) || pieceBoard[from] != PAWN || colorBoard[from] != them) continue;
        ++checkers;
        safety.evasions = squareBit(from);
    }

    safety.inCheck = checkers != 0;
    if (checkers == 0) safety.evasions = EVERY_SQUARE;
    if (checkers > 1) safety.evasions = 0;
    return safety;
}

MoveCounts Board::countLegalMoves() {
    MoveCounts counts;
    if (isDraw()) return counts;
    const KingSafety safety = kingSafety();
    // In generation order, so that captured pieces reach the ends of their
    // lists in the order the walk that makes every move sends them there.
    counts.moves += countPawnMoves(safety);
    counts.moves += countPieceMoves<KNIGHT>(safety);
    counts.moves += countPieceMoves<BISHOP>(safety);
    counts.moves += countPieceMoves<ROOK>(safety);
    counts.moves += countPieceMoves<QUEEN>(safety);
    counts.moves += countKingMoves();
    if (!safety.inCheck) counts.castles = countCastlings();
    counts.moves += counts.castles;

    // En passant captures are rare: the full test plays each on the squares.
    if (epSquare != NO_SQUARE) {
        const int file = fileOf(epSquare);
        const int behind = -pawnForward(turn);
        for (const int from : {file != 0 ? epSquare + behind - 1 : NO_SQUARE,
                               file != 7 ? epSquare + behind + 1 : NO_SQUARE}) {
            if (from == NO_SQUARE || pieceBoard[from] != PAWN || colorBoard[from] != turn) continue;
            const Move capture{static_cast<std::int8_t>(from), static_cast<std::int8_t>(epSquare), 0,
                               CAPTURE | ENPASSANT | PAWNMOVE};
            if (pseudoIsLegal(capture)) ++counts.passants;
        }
    }
    counts.moves += counts.passants;
    return counts;
}

int Board::countPawnMoves(const KingSafety& safety) {
    const int us = turn;
    const int them = us ^ 1;
    const int forward = pawnForward(us);
    const int promotionRow = us == WHITE ? 1 : 6;
    const int startRow = us == WHITE ? 6 : 1;
    // A pawn with a legal promotion goes to the end of its own list once
    // the loop over that list is done.
    int promoted[8];
    int promotions = 0;
    int count = 0;
    const PieceList& pawns = pieceList[us][PAWN];
    for (int i = 0; i < pawns.count; ++i) {
        const int from = pawns.squares[i];
        const int file = fileOf(from);
        const bool free = safety.frees(from);
        int moves = 0;
        if (file != 0 && colorBoard[from + forward - 1] == them) {
            listSendToEnd(from + forward - 1);
            moves += free || safety.allows(from, from + forward - 1);
        }
        if (file != 7 && colorBoard[from + forward + 1] == them) {
            listSendToEnd(from + forward + 1);
            moves += free || safety.allows(from, from + forward + 1);
        }
        if (colorBoard[from + forward] == EMPTY) {
            moves += free || safety.allows(from, from + forward);
            if (rowOf(from) == startRow && colorBoard[from + 2 * forward] == EMPTY)
                moves += free || safety.allows(from, from + 2 * forward);
        }
        if (rowOf(from) == promotionRow) {
            // Each step to the last row is four promotions.
            moves *= 4;
            if (moves != 0) promoted[promotions++] = from;
        }
        count += moves;
    }
    for (int i = 0; i < promotions; ++i) listSendToEnd(promoted[i]);
    return count;
}

template <int type>
int Board::countPieceMoves(const KingSafety& safety) {
    const int them = turn ^ 1;
    const PieceList& list = pieceList[turn][type];
    int count = 0;
    for (int i = 0; i < list.count; ++i) {
        const int from = list.squares[i];
        const bool free = safety.frees(from);
        for (int d = 0; d < PIECE_STEP_COUNT[type]; ++d) {
            const int step = PIECE_STEPS[type][d];
            for (int to = from + step; (to & 0x88) == 0; to += step) {
                const int color = colorBoard[to];
                if (color == EMPTY) {
                    count += free || safety.allows(from, to);
                    if constexpr (!isSlider(type)) break;
                    continue;
                }
                if (color == them) {
                    listSendToEnd(to);
                    count += free || safety.allows(from, to);
                }
                break;
            }
        }
    }
    return count;
}

int Board::countKingMoves() {
    const int from = kingSquare(turn);
    int count = 0;
    for (const int step : PIECE_STEPS[KING]) {
        const int to = from + step;
        if ((to & 0x88) != 0 || colorBoard[to] == turn) continue;
        if (colorBoard[to] != EMPTY) listSendToEnd(to);
        count += kingStepIsSafe(to);
    }
    return count;
}

int Board::countCastlings() {
    int count = 0;
    for (const CastlingRight& right : CASTLING_RIGHTS)
        if (right.color == turn && (castling & right.bit) != 0 && castlingPathIsEmpty(right))
            count += !attack(right.mustBeSafe[0], turn ^ 1) && !attack(right.mustBeSafe[1], turn ^ 1);
    return count;
}
