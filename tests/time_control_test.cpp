#include <gtest/gtest.h>

#include "core/types.h"
#include "uci/time_control.h"

namespace {

TEST(TimeControl, BudgetsOfGoLines) {
    const struct {
        const char* line;
        int side;
        int depth, moveTime;
        bool untilStopped;
    } cases[] = {
        {"go wtime 60000 btime 60000", WHITE, 64, 2400, false},
        {"go wtime 60000 btime 60000", BLACK, 64, 2400, false},
        {"go wtime 1000 winc 500", WHITE, 64, 441, false},
        {"go wtime 100 winc 1000", WHITE, 64, 50, false},
        {"go movetime 1000", WHITE, 64, 900, false},
        {"go movetime 150", WHITE, 64, 75, false},
        {"go movetime 1", WHITE, 64, 1, false},
        {"go movetime 3", WHITE, 64, 1, false},
        {"go movetime 1000 movestogo 10", WHITE, 64, 50, false},
        {"go movetime 500 wtime 10", BLACK, 64, 400, false},
        {"go depth 5", WHITE, 5, 0, false},
        {"go infinite", WHITE, 64, 0, true},
        {"go depth 5 wtime 60000", WHITE, 5, 0, false},
        {"go wtime 60000 depth 5", WHITE, 5, 0, false},
        {"go depth 100", WHITE, 64, 0, false},
        {"go depth", WHITE, 64, 0, false},
        {"go wtime 600 xyz", WHITE, 64, 12, false},
        {"go wtime 600xyz", WHITE, 64, 12, false},
        {"go wtime 600depth 5", WHITE, 5, 0, false},
        {"go nodes 900 wtime 60000", WHITE, 64, 2400, false},
        {"go ponder wtime 60000 btime 60000", WHITE, 64, 2400, false},
        {"go wtime 60000 btime 60000 winc 0 binc 0 movestogo 40", BLACK, 64, 1400, false},
        // Lines without a positive budget of their own.
        {"go", WHITE, 64, 0, true},
        {"go btime 60000", WHITE, 64, 0, true},
        {"go wtime", WHITE, 64, 0, true},
        {"go depth 0", WHITE, 1, 0, false},
        {"go depth -3", WHITE, 1, 0, false},
        {"go wtime 60000 movestogo 0", WHITE, 64, 59900, false},
        {"go wtime 60000 movestogo -2", WHITE, 64, 59900, false},
        {"go wtime 0", WHITE, 64, 1, false},
        {"go wtime -500 winc 1000", WHITE, 64, 1, false},
        {"go btime -20", BLACK, 64, 1, false},
        {"go movetime 0", WHITE, 64, 1, false},
        {"go movetime abc wtime 60000", WHITE, 64, 1, false},
        {"go wtime 2147483647 winc 2147483647", WHITE, 64, 2147483547, false},
        {"go wtime 99999999999", WHITE, 64, 89478385, false},
    };
    for (const auto& c : cases) {
        const TimeControl control = readTimeControl(c.line, c.side);
        EXPECT_EQ(control.limits.depth, c.depth) << c.line;
        EXPECT_EQ(control.limits.moveTime, c.moveTime) << c.line;
        EXPECT_EQ(control.untilStopped, c.untilStopped) << c.line;
    }
}

}  // namespace
