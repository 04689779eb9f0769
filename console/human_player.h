#pragma once

#include "console/player.h"
#include "core/line_reader.h"

// Reads moves typed at the console, one word per answer to the prompt.
class HumanPlayer : public Player {
public:
    HumanPlayer(int color, Board& board, LineReader& input) : Player(color, board), input(input) {}

    // A legal move of the position, or NOMOVE when the input has ended.
    [[nodiscard]] Move getAMove() override;

private:
    LineReader& input;
};
