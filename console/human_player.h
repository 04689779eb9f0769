#pragma once

#include "console/player.h"
#include "core/line_reader.h"

// Reads moves typed at the console, one word per answer to the prompt.
class HumanPlayer : public Player {
public:
    HumanPlayer(int color, Board& board, LineReader& input) : Player(color, board), input(input) {}

    // The word that ends the engine, at the move prompt as at the command
    // prompt.
    static constexpr const char* QUIT_WORD = "quit";

    // A legal move of the position, or NOMOVE when the input has ended or
    // the word is QUIT_WORD.
    [[nodiscard]] Move getAMove() override;

private:
    LineReader& input;
};
