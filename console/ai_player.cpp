#include "console/ai_player.h"

#include <ctime>
#include <iostream>

Move AIPlayer::getAMove() {
    const std::clock_t start = std::clock();
    search.stop.store(false);
    search.iterativeDeepening(color, SearchLimits::toDepth(maxDepth));
    const std::clock_t end = std::clock();
    std::cout << static_cast<double>(end - start) * 1000.0 / CLOCKS_PER_SEC << "ms" << std::endl;
    return search.bestMove;
}
