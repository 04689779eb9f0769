#pragma once

#include "board/board.h"
#include "core/types.h"

// A side of a game: something that chooses a move on a board it does not own.
class Player {
public:
    Player(int color, Board& board) : color(color), board(board) {}
    virtual ~Player() = default;
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    [[nodiscard]] virtual Move getAMove() = 0;

protected:
    int color;
    Board& board;
};
