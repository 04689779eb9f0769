// Checks of a board shared by the tests and the fuzz targets.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>

#include "board/board.h"

// The board of a FEN, or nothing when the board refuses it. The tests and the
// fuzz targets set up boards from FEN only here.
inline std::optional<Board> boardFromFen(const std::string& fen) {
    Board board;
    if (!board.setFen(fen).empty()) return std::nullopt;
    return board;
}

// The first of the board's invariants that does not hold, or "".
inline std::string boardProblem(const Board& board) {
    if (board.getZobristKey() != board.computeKey()) return "the key differs from the key composed from scratch";
    std::array<int, 128> listed{};
    for (const int color : {WHITE, BLACK})
        for (int type = PAWN; type <= KING; ++type) {
            const auto& list = board.pieces(color, type);
            for (int i = 0; i < PieceList::CAPACITY; ++i) {
                const int square = list.squares[i];
                if (i >= list.count
                        ? square != NO_SQUARE
                        : !onBoard(square) || board.colorAt(square) != color || board.pieceAt(square) != type)
                    return "a piece list does not match the squares";
                if (i < list.count) ++listed[square];
            }
        }
    for (int square = 0; square < 128; ++square)
        if (listed[square] != (board.pieceAt(square) != EMPTY) || (board.colorAt(square) == EMPTY) != !listed[square])
            return "a square and the piece lists disagree";
    for (const int color : {WHITE, BLACK}) {
        PieceSets sets;
        int pieceValueSum = 0;
        int phaseSum = 0;
        for (int square = 0; square < 128; ++square)
            if (onBoard(square) && board.colorAt(square) == color) {
                const int type = board.pieceAt(square);
                sets.toggle(color, type, bitOf(square));
                pieceValueSum += MATERIAL_VALUE[type] + PIECE_SQUARE_BY_SQUARE[color][type][square];
                phaseSum += PHASE_WEIGHT[type];
            }
        const PieceSets& kept = board.pieceSets();
        if (kept.all[color] != sets.all[color] ||
            !std::equal(std::begin(sets.byType[color]), std::end(sets.byType[color]), kept.byType[color]))
            return "the square sets do not match the squares";
        if (board.pieceValueSum(color) != pieceValueSum || board.phaseSum(color) != phaseSum)
            return "the sums of piece values do not match the squares";
    }
    if (board.pieces(WHITE, KING).count != 1 || board.pieces(BLACK, KING).count != 1) return "not one king per side";
    if (board.inCheck(board.getTurn() ^ 1)) return "the side not to move is in check";
    return {};
}

// Everything a move and its take-back must restore: the key, side, rights, en
// passant square, fifty-move count, squares, and the piece lists as sets (a
// take-back may reorder a list).
using BoardState = std::array<std::int64_t, 5 + 128 + 12 * 17>;
inline BoardState boardState(const Board& board) {
    BoardState state{board.getZobristKey(), board.getTurn(), board.getCastling(), board.getEpSquare(),
                     board.getFiftyCount()};
    std::int64_t* at = state.data() + 5;
    for (int square = 0; square < 128; ++square) *at++ = board.colorAt(square) * 8 + board.pieceAt(square);
    for (const int color : {WHITE, BLACK})
        for (int type = PAWN; type <= KING; ++type, at += 17) {
            const auto& list = board.pieces(color, type);
            at[0] = std::clamp(list.count, 0, 16);
            std::copy(list.squares, list.squares + at[0], at + 1);
            std::sort(at + 1, at + 1 + at[0]);
        }
    return state;
}

// The generated moves that executeMove accepts, each taken back again.
inline MoveList legalMoves(Board& board) {
    MoveList legal;
    for (const Move& move : board.getAllMoves())
        if (board.executeMove(move)) {
            board.undoMove();
            legal.push_back(move);
        }
    return legal;
}
