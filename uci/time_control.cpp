#include "uci/time_control.h"

#include <algorithm>
#include <cstdint>
#include <sstream>

#include "core/types.h"

namespace {

enum class Read { Value, Missing, NotANumber };

// Reads an int from the stream as a stream does: it stops at the first
// character that cannot continue the number, a value that is not a number
// reads as 0 and an out-of-range one as the nearest int.
Read readInt(std::istringstream& words, int& target) {
    words >> std::ws;
    if (words.eof()) return Read::Missing;
    words >> target;
    return words.fail() ? Read::NotANumber : Read::Value;
}

}  // namespace

TimeControl readTimeControl(const std::string& line, int side) {
    int remaining[2] = {0, 0};
    int increment[2] = {0, 0};
    int movesToGo = 24;
    int maxDepth = MAX_SEARCH_DEPTH;
    bool depthMode = false;
    bool infinite = false;
    bool moverClockGiven = false;

    std::istringstream words(line);
    for (std::string word; words >> word;) {
        int* target = nullptr;
        if (word == "infinite") {
            depthMode = infinite = true;
        } else if (word == "depth") {
            depthMode = true;
            target = &maxDepth;
        } else if (word == "wtime" || word == "btime") {
            target = &remaining[word == "wtime" ? WHITE : BLACK];
        } else if (word == "winc" || word == "binc") {
            target = &increment[word == "winc" ? WHITE : BLACK];
        } else if (word == "movestogo") {
            target = &movesToGo;
        } else if (word == "movetime") {
            target = &remaining[side];
        }
        if (target == nullptr) continue;

        const Read read = readInt(words, *target);
        if (read == Read::Missing) break;
        if (target == &remaining[side]) moverClockGiven = true;
        if (read == Read::NotANumber) break;
        if (word == "movetime") movesToGo = 1;
    }

    if (depthMode) return {{std::clamp(maxDepth, 1, MAX_SEARCH_DEPTH), 0}, infinite};
    // Without the mover's clock nothing limits the search but new input.
    if (!moverClockGiven) return {{MAX_SEARCH_DEPTH, 0}, true};

    const std::int64_t clock = remaining[side];
    std::int64_t moveTime = clock / std::max(movesToGo, 1) + increment[side];
    moveTime = std::min(moveTime, clock);
    const auto timed = [](std::int64_t milliseconds) {
        return TimeControl{{MAX_SEARCH_DEPTH, static_cast<int>(milliseconds)}, false};
    };
    if (moveTime <= 0) return timed(1);
    if (moveTime > 200) return timed(moveTime - 100);
    return timed(std::max<std::int64_t>(moveTime / 2, 1));
}
