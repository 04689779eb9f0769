#pragma once

#include <string>
#include <vector>

#include "search/search.h"

// What a "go" line asks for: the limits handed to the search, the time the
// mover's clock and "movetime" allow (0 without either), whether only new
// input can end the search, whether it starts as a ponder search, and the
// words after "searchmoves" as written.
struct TimeControl {
    SearchLimits limits;
    int moveTime = 0;
    bool untilStopped = false;
    bool ponder = false;
    std::vector<std::string> searchMoves;
};

// Reads the words of a "go" line for the side to move; every limit on the
// line holds at once, whatever their order. The mover takes 1/24 of its
// clock (or 1/movestogo) plus its increment, never more than the whole clock;
// "movetime" caps that. Each keeps 100 ms in hand (half the time when 200 ms
// or less). A number out of range is clamped, one that is not a number reads
// as 0, and the rest of the line is read either way. A ponder search has no
// deadline until "ponderhit"; its limits.moveTime stays 0.
[[nodiscard]] TimeControl readTimeControl(const std::string& line, int side);
