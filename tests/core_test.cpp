#include <gtest/gtest.h>

#include "core/types.h"
#include "tests/board_test_util.h"

namespace {

Move mv(int from, int to, int promotion = 0, int flags = 0) {
    return {static_cast<std::int8_t>(from), static_cast<std::int8_t>(to), static_cast<std::int8_t>(promotion),
            static_cast<std::uint8_t>(flags)};
}

TEST(CoreMove, TextForm) {
    const struct {
        Move move;
        const char* text;
    } cases[] = {
        {mv(100, 68), "e2e4"},
        {mv(100, 68, QUEEN, PROMOTION), "e2e4q"},
        {mv(100, 68, QUEEN, 0), "e2e4"},
        {mv(20, 4, KNIGHT, PROMOTION | PAWNMOVE), "e7e8n"},
        {mv(116, 118, 0, CASTLE), "e1g1"},
        {mv(100, 68, 9, PROMOTION), "e2e4 "},
        {NOMOVE, "a8a8"},
        {NULLMOVE, "h1h1"},
    };
    for (const auto& c : cases) EXPECT_EQ(moveText(c.move), c.text);
    EXPECT_EQ(listText({}), "");
    EXPECT_EQ(listText({mv(100, 68), mv(20, 52)}), "e2e4 e7e5");
}

TEST(CoreMove, QuietnessAndEquality) {
    EXPECT_FALSE(mv(68, 35, 0, 0x15).isQuiet());
    EXPECT_TRUE(mv(116, 118, 0, 0x02).isQuiet());
    EXPECT_TRUE(mv(100, 68, 0, 0x18).isQuiet());
    EXPECT_FALSE(mv(20, 4, QUEEN, 0x30).isQuiet());
    EXPECT_NE(mv(100, 68, 0, 0x10), mv(100, 68, 0, 0x18));
    EXPECT_NE(NOMOVE, NULLMOVE);
}

TEST(CoreMove, ScoredOrderBreaksTiesBySquares) {
    EXPECT_LT(ScoredMove(mv(20, 4), 5), ScoredMove(mv(12, 28), 5));
    EXPECT_LT(ScoredMove(mv(12, 44), 5), ScoredMove(mv(12, 28), 5));
    EXPECT_LT(ScoredMove(mv(12, 28), 4), ScoredMove(mv(20, 4), 5));
    EXPECT_FALSE(ScoredMove(mv(12, 28), 5) < ScoredMove(mv(12, 28), 5));
}

}  // namespace
