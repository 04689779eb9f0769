#pragma once

#include "console/player.h"
#include "search/search.h"

// A computer side for games set up in code (the "g" command seats two people):
// chooses moves by searching on the calling thread, without a time limit, to
// its depth limit.
class AIPlayer : public Player {
public:
    AIPlayer(int color, Board& board, int maxDepth) : Player(color, board), search(board), maxDepth(maxDepth) {}

    [[nodiscard]] Move getAMove() override;

private:
    Search search;
    int maxDepth;
};
