#pragma once

#include <string>

#include "search/search.h"

// What a "go" line asks for: the limits handed to the search, and whether
// only new input can end the search.
struct TimeControl {
    SearchLimits limits;
    bool untilStopped;
};

// Reads the words of a "go" line for the side to move. The mover takes 1/24
// of its clock (or 1/movestogo) plus its increment, never more than the whole
// clock, and keeps 100 ms in hand (half the time when 200 ms or less).
[[nodiscard]] TimeControl readTimeControl(const std::string& line, int side);
