#include <algorithm>
#include <iterator>
#include <ostream>

#include "board/board.h"
#include "board/piece_reach.h"

bool Board::moveIsPseudo(const Move& move) const {
    const int us = turn;
    const int them = us ^ 1;
    const int from = move.from;
    const int to = move.to;
    if (!onBoard(from) || !onBoard(to) || colorBoard[from] != us) return false;

    // A promotion must be a pawn move onto the last row, naming a knight to a queen.
    const bool lastRow = us == WHITE ? rowOf(to) == 0 : rowOf(to) == 7;
    if (move.has(PROMOTION) && (!move.has(PAWNMOVE) || !lastRow || move.promotion < KNIGHT || move.promotion > QUEEN))
        return false;

    if (move.has(PAWNMOVE)) {
        if (pieceBoard[from] != PAWN) return false;
        if (!move.has(PROMOTION) && (rowOf(to) == 0 || rowOf(to) == 7)) return false;
        const int forward = pawnForward(us);
        if (move.has(ENPASSANT)) {
            const int target = state.epSquare;
            if (to != target) return false;
            const int file = fileOf(target);
            return (file != 0 && from == target - forward - 1) || (file != 7 && from == target - forward + 1);
        }
        if (move.has(CAPTURE)) {
            const int file = fileOf(from);
            const bool diagonal = (file != 0 && to == from + forward - 1) || (file != 7 && to == from + forward + 1);
            return diagonal && colorBoard[to] == them;
        }
        // Only a pawn on its starting row steps two squares, and only that
        // step carries the flag that sets the en passant square.
        const bool twoSteps = to == from + 2 * forward;
        if (move.has(DOUBLEPUSH) != twoSteps) return false;
        if (to == from + forward) return colorBoard[to] == EMPTY;
        const bool startRow = us == WHITE ? rowOf(from) == 6 : rowOf(from) == 1;
        return twoSteps && startRow && colorBoard[from + forward] == EMPTY && colorBoard[to] == EMPTY;
    }

    const int piece = pieceBoard[from];
    if (move.has(CASTLE)) {
        const CastlingRight* right = castlingRightTo(to);
        return piece == KING && right != nullptr && right->color == us && from == right->kingFrom &&
               (state.castling & right->bit) != 0 && castlingPathIsEmpty(*right);
    }
    if (piece == PAWN) return false;

    const bool capture = move.has(CAPTURE);
    if (capture ? colorBoard[to] != them : colorBoard[to] != EMPTY) return false;
    for (int d = 0; d < PIECE_STEP_COUNT[piece]; ++d) {
        const int step = PIECE_STEPS[piece][d];
        for (int target = from + step; onBoard(target); target += step) {
            if (target == to) return true;
            if (colorBoard[target] != EMPTY || !isSlider(piece)) break;
        }
    }
    return false;
}

bool Board::kingSafeAfter(const Move& move) const {
    // The move is played on the square sets only: the mover leaves from, a
    // captured piece leaves to, an en passant victim its own square.
    const int us = turn;
    const int them = us ^ 1;
    const int from = move.from;
    const int to = move.to;
    SquareSet enemy[6];
    std::copy(std::begin(sets.byType[them]), std::end(sets.byType[them]), enemy);
    SquareSet occupied = (sets.occupied() & ~bitOf(from)) | bitOf(to);
    for (SquareSet& pieces : enemy) pieces &= ~bitOf(to);
    const int victim = to - pawnForward(us);
    if (move.has(ENPASSANT)) {
        occupied &= ~bitOf(victim);
        enemy[PAWN] &= ~bitOf(victim);
    }
    const int king = pieceBoard[from] == KING ? to : kingSquare(us);
    return !squareAttacked(bitIndex(king), them, enemy, occupied);
}

bool Board::pseudoIsLegal(const Move& move) {
    const int us = turn;
    const int them = us ^ 1;
    if (move.has(CASTLE)) {
        if (attack(kingSquare(us), them)) return false;
        const CastlingRight* right = castlingRightTo(move.to);
        return right == nullptr || (!attack(right->mustBeSafe[0], them) && !attack(right->mustBeSafe[1], them));
    }

    const bool legal = kingSafeAfter(move);
    // Playing the capture and taking it back would have put the captured
    // piece back at the end of its list.
    if (pieceBoard[move.to] != EMPTY) listSendToEnd(move.to);
    if (move.has(ENPASSANT)) listSendToEnd(move.to - pawnForward(us));
    return legal;
}

bool Board::hasEnPassantCaptureOnto(int square) const {
    Move captures[MAX_EN_PASSANT_CAPTURES];
    Move* const end = addEnPassantCapturesOnto(square, captures);
    return std::any_of(captures, end, [this](const Move& capture) { return kingSafeAfter(capture); });
}

bool Board::moveIsLegal(const Move& move) { return moveIsPseudo(move) && pseudoIsLegal(move); }

Move Board::strToMove(const std::string& text) const {
    if ((text.size() != 4 && text.size() != 5) || !isMoveText(text.substr(0, 4))) return NOMOVE;
    std::int8_t promotion = 0;
    if (text.size() == 5) {
        switch (text[4]) {
            case 'n': promotion = KNIGHT; break;
            case 'b': promotion = BISHOP; break;
            case 'r': promotion = ROOK; break;
            case 'q': promotion = QUEEN; break;
            default: break;
        }
    }
    const int from = makeSquare('8' - text[1], text[0] - 'a');
    const int to = makeSquare('8' - text[3], text[2] - 'a');
    std::uint8_t flags = pieceBoard[to] != EMPTY ? CAPTURE : 0;
    if (pieceBoard[from] == PAWN) {
        if (to == state.epSquare) flags = CAPTURE | ENPASSANT;
        if (to == from + 2 * NORTH || to == from + 2 * SOUTH) flags |= DOUBLEPUSH;
        flags |= PAWNMOVE;
    } else if (pieceBoard[from] == KING && (to == from + 2 || to == from - 2)) {
        flags |= CASTLE;
    }
    if (promotion != 0) flags |= PROMOTION;
    return {static_cast<std::int8_t>(from), static_cast<std::int8_t>(to), promotion, flags};
}

bool isMoveText(const std::string& text) {
    if (text.size() != 4 && text.size() != 5) return false;
    const auto isFile = [](char ch) { return ch >= 'a' && ch <= 'h'; };
    const auto isRank = [](char ch) { return ch >= '1' && ch <= '8'; };
    if (!isFile(text[0]) || !isRank(text[1]) || !isFile(text[2]) || !isRank(text[3])) return false;
    return text.size() == 4 || std::string_view("nbrq").find(text[4]) != std::string_view::npos;
}

void Board::genAttackTable(int piece, std::ostream& out) {
    Board empty{Blank{}};
    char noPieces[8][8];
    std::fill(&noPieces[0][0], &noPieces[0][0] + 64, '.');
    empty.place(noPieces, WHITE, 0, NO_SQUARE, 0);
    bool reachable[SQUARE_DIFFERENCES] = {};
    for (int from = 0; from < 128; ++from) {
        if (!onBoard(from)) continue;
        empty.addPiece(from, piece, WHITE);
        for (int to = 0; to < 128; ++to)
            if (onBoard(to) && empty.moveIsPseudo({static_cast<std::int8_t>(from), static_cast<std::int8_t>(to), 0, 0}))
                reachable[from - to + SQUARE_DIFFERENCE_BIAS] = true;
        empty.removePiece(from, piece, WHITE);
    }
    for (int index = 0; index < SQUARE_DIFFERENCES; ++index) {
        out << (reachable[index] ? "1, " : "0, ");
        if (index % ROW_STEP == ROW_STEP - 1) out << std::endl;
    }
    out << std::endl;
}
