#pragma once

#include <memory>

#include "board/board.h"
#include "console/player.h"
#include "core/line_reader.h"

// A game at the console on its own copy of the position: the evaluation
// report before every move, the diagram after it, the result at the end.
class Game {
public:
    Game(const Board& board, LineReader& input);

    // Plays until the game ends; false when a player gave no move (the
    // input ended, or "quit" was typed), which ends the engine too.
    [[nodiscard]] bool run();

private:
    Board board;
    std::unique_ptr<Player> players[2];
};
