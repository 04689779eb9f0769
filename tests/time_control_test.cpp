#include <gtest/gtest.h>

#include <limits>

#include "core/types.h"
#include "uci/time_control.h"

namespace {

constexpr std::int64_t ANY = std::numeric_limits<std::int64_t>::max();

TEST(TimeControl, LimitsOfGoLines) {
    const struct {
        const char* line;
        int side;
        int depth, moveTime;
        std::int64_t nodes;
        int mate;
        bool untilStopped;
    } cases[] = {
        {"go wtime 60000 btime 60000", WHITE, 64, 2400, ANY, 0, false},
        {"go wtime 60000 btime 60000", BLACK, 64, 2400, ANY, 0, false},
        {"go wtime 1000 winc 500", WHITE, 64, 441, ANY, 0, false},
        {"go wtime 100 winc 1000", WHITE, 64, 50, ANY, 0, false},
        {"go movetime 1000", WHITE, 64, 900, ANY, 0, false},
        {"go movetime 150", WHITE, 64, 75, ANY, 0, false},
        {"go movetime 1", WHITE, 64, 1, ANY, 0, false},
        {"go movetime 3", WHITE, 64, 1, ANY, 0, false},
        {"go movetime 500 wtime 10", BLACK, 64, 400, ANY, 0, false},
        {"go depth 5", WHITE, 5, 0, ANY, 0, false},
        {"go infinite", WHITE, 64, 0, ANY, 0, true},
        {"go depth 100", WHITE, 64, 0, ANY, 0, false},
        {"go depth", WHITE, 64, 0, ANY, 0, false},
        {"go wtime 600 xyz", WHITE, 64, 12, ANY, 0, false},
        {"go wtime 600xyz", WHITE, 64, 12, ANY, 0, false},
        {"go wtime 60000 btime 60000 winc 0 binc 0 movestogo 40", BLACK, 64, 1400, ANY, 0, false},
        // Every limit holds at once, in any order.
        {"go wtime 1000 btime 1000 winc 0 binc 0 depth 40", WHITE, 40, 20, ANY, 0, false},
        {"go depth 5 wtime 60000", WHITE, 5, 2400, ANY, 0, false},
        {"go wtime 600depth 5", WHITE, 5, 12, ANY, 0, false},
        {"go depth 40 movetime 300", WHITE, 40, 200, ANY, 0, false},
        {"go movetime 1000 wtime 5000 btime 5000", WHITE, 64, 108, ANY, 0, false},
        {"go wtime 5000 btime 5000 movetime 1000", WHITE, 64, 108, ANY, 0, false},
        {"go movetime 1000 movestogo 10", WHITE, 64, 900, ANY, 0, false},
        {"go movestogo 10 movetime 1000", WHITE, 64, 900, ANY, 0, false},
        {"go nodes 900 wtime 60000", WHITE, 64, 2400, 900, 0, false},
        {"go nodes 5000", BLACK, 64, 0, 5000, 0, false},
        {"go nodes 0", WHITE, 64, 0, 1, 0, false},
        {"go mate 3", WHITE, 64, 0, ANY, 3, false},
        {"go depth 4 mate 3", WHITE, 4, 0, ANY, 3, false},
        {"go infinite nodes 100", WHITE, 64, 0, 100, 0, true},
        // Numbers out of range are clamped and the line read on.
        {"go wtime 99999999999 btime 1000", BLACK, 64, 20, ANY, 0, false},
        {"go wtime 99999999999", WHITE, 64, 89478385, ANY, 0, false},
        {"go wtime 2147483647 winc 2147483647", WHITE, 64, 2147483547, ANY, 0, false},
        {"go nodes 99999999999999999999 depth 3", WHITE, 3, 0, ANY, 0, false},
        // A value that is not a number reads as 0; the line is read on.
        {"go movetime abc wtime 60000", WHITE, 64, 1, ANY, 0, false},
        {"go winc x wtime 1000", WHITE, 64, 20, ANY, 0, false},
        // Lines without a positive budget of their own.
        {"go", WHITE, 64, 0, ANY, 0, true},
        {"go btime 60000", WHITE, 64, 0, ANY, 0, true},
        {"go wtime", WHITE, 64, 0, ANY, 0, true},
        {"go searchmoves e2e4", WHITE, 64, 0, ANY, 0, true},
        {"go depth 0", WHITE, 1, 0, ANY, 0, false},
        {"go depth -3", WHITE, 1, 0, ANY, 0, false},
        {"go wtime 60000 movestogo 0", WHITE, 64, 59900, ANY, 0, false},
        {"go wtime 60000 movestogo -2", WHITE, 64, 59900, ANY, 0, false},
        {"go wtime 0", WHITE, 64, 1, ANY, 0, false},
        {"go wtime -500 winc 1000", WHITE, 64, 1, ANY, 0, false},
        {"go btime -20", BLACK, 64, 1, ANY, 0, false},
        {"go movetime 0", WHITE, 64, 1, ANY, 0, false},
    };
    for (const auto& c : cases) {
        const TimeControl control = readTimeControl(c.line, c.side);
        EXPECT_EQ(control.limits.depth, c.depth) << c.line;
        EXPECT_EQ(control.limits.moveTime, c.moveTime) << c.line;
        EXPECT_EQ(control.limits.nodes, c.nodes) << c.line;
        EXPECT_EQ(control.limits.mate, c.mate) << c.line;
        EXPECT_EQ(control.untilStopped, c.untilStopped) << c.line;
        EXPECT_FALSE(control.ponder) << c.line;
    }
}

// A ponder search starts without a deadline and keeps its budget for
// "ponderhit"; the words after "searchmoves" are taken up to the first word
// that is not a move.
TEST(TimeControl, PonderAndSearchMoves) {
    const TimeControl ponder = readTimeControl("go ponder wtime 60000 btime 60000", WHITE);
    EXPECT_TRUE(ponder.ponder);
    EXPECT_EQ(ponder.limits.moveTime, 0);
    EXPECT_EQ(ponder.moveTime, 2400);
    EXPECT_FALSE(ponder.untilStopped);

    const TimeControl moves = readTimeControl("go searchmoves e2e4 E7E8Q a1a1 depth 2 d2d4", WHITE);
    EXPECT_EQ(moves.searchMoves, (std::vector<std::string>{"e2e4", "E7E8Q", "a1a1"}));
    EXPECT_EQ(moves.limits.depth, 2);
}

}  // namespace
