#include "board/board.h"

#include <algorithm>
#include <cassert>
#include <stdexcept>

PieceList::PieceList() {
    for (int& square : squares) square = NO_SQUARE;
}

UndoStack& UndoStack::operator=(const UndoStack& other) {
    if (this == &other) return *this;
    const auto room = static_cast<std::size_t>(other.end - other.records.get());
    records = room == 0 ? nullptr : std::make_unique<UndoRecord[]>(room);
    std::copy(other.records.get(), other.top, records.get());
    top = records.get() + other.size();
    end = records.get() + room;
    return *this;
}

void UndoStack::grow() {
    const std::size_t count = size();
    const std::size_t room = count == 0 ? INITIAL_ROOM : 2 * count;
    auto larger = std::make_unique<UndoRecord[]>(room);
    std::copy(records.get(), top, larger.get());
    records = std::move(larger);
    top = records.get() + count;
    end = records.get() + room;
}

Board::Board() : Board(START_FEN) {}

Board::Board(const std::string& fen) {
    if (const std::string problem = setFen(fen); !problem.empty())
        throw std::invalid_argument("invalid FEN: " + problem);
}

std::int64_t Board::computeKey() const {
    Zobrist fresh;
    for (int square = 0; square < 128; ++square)
        if (onBoard(square) && pieceBoard[square] != EMPTY)
            fresh.togglePiece(pieceBoard[square], colorBoard[square], square);
    if (turn == BLACK) fresh.updateHashSide();
    fresh.updateHashCastle(state.castling);
    if (state.epSquare != NO_SQUARE) fresh.updateHashEp(state.epSquare);
    return fresh.getHash();
}
