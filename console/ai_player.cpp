#include "console/ai_player.h"

#include <cstdint>
#include <iostream>

#include "platform/processor_time.h"

Move AIPlayer::getAMove() {
    const std::int64_t start = processorMicroseconds();
    search.stop.store(false);
    search.iterativeDeepening(color, SearchLimits::toDepth(maxDepth));
    const std::int64_t end = processorMicroseconds();
    std::cout << static_cast<double>(end - start) / MICROSECONDS_PER_MILLISECOND << "ms" << std::endl;
    return search.bestMove;
}
