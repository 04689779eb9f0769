#include <gtest/gtest.h>

#include "board/board.h"

namespace {

TEST(FenCheck, AcceptsWellFormedPositions) {
    for (const char* fen : {
             START_FEN,
             "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
             "8/8/8/8/8/8/8/K1k5 w - -",
             "8/8/8/8/8/8/8/K1k5 w - - 12",
             "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2",
             "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
             "4k3/8/8/8/8/8/8/4K3 w - - 2147483647 1",
             "4k3/8/8/8/8/8/8/4K3 w - - 0000000000007 1",
             "QQQQQQQQ/QQQQQQQQ/8/8/8/8/pppppppp/K1k5 w - - 0 1",
             "7k/8/8/8/8/PPPPPPPP/8/QQQQQQQK w - - 0 1",
             "r3k2r/8/8/8/8/8/8/R3K2R b KkQq - 0 1",
         })
        EXPECT_EQ(Board::fenProblem(fen), "") << fen;
}

TEST(FenCheck, RejectsMalformedOrUnplayablePositions) {
    for (const char* fen : {
             "",
             "8/8/8/8/8/8/8/K1k5 w",
             "8/8/8/8/8/8/8/K1k5 w - - 0 1 extra",
             "8/8/8/8/8/8/K1k5 w - - 0 1",
             "8/8/8/8/8/8/8/8/K1k5 w - - 0 1",
             "9/8/8/8/8/8/8/K1k5 w - - 0 1",
             "8/8/8/8/8/8/8/K1k6 w - - 0 1",
             "8/8/8/8/8/8/8/K1k4 w - - 0 1",
             "8/8/8/8/8/8/8/K1k5x w - - 0 1",
             "8/8/8/8/8/8/8/K1X5 w - - 0 1",
             "8/8/8/8/8/8/8/K7 w - - 0 1",
             "8/8/8/8/8/8/8/KKk5 w - - 0 1",
             "P7/8/8/8/8/8/8/K1k5 w - - 0 1",
             "8/8/8/8/8/8/8/K1k4p w - - 0 1",
             "NNNNNNNN/NNNNNNNN/N7/8/8/8/8/K1k5 w - - 0 1",
             "7k/P7/8/8/NNNN4/NNNN4/NNNN4/NNNN3K w - - 0 1",
             "7k/pp6/8/8/qqqq4/qqqq4/qqqq4/qqq4K w - - 0 1",
             "8/8/8/8/8/8/8/K1k5 x - - 0 1",
             "8/8/8/8/8/8/8/K1k5 W - - 0 1",
             "8/8/8/8/8/8/8/K1k5 w KQ - 0 1",
             "r3k2r/8/8/8/8/8/8/R3K2R w KQkqX - 0 1",
             "r3k2r/8/8/8/8/8/8/R3K2R w K- - 0 1",
             "4k3/8/8/8/8/8/8/R3K3 w K - 0 1",
             "4k3/8/8/8/8/8/8/4K2R w Q - 0 1",
             "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e3 0 2",
             "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 2",
             "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e9 0 2",
             "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e 0 2",
             "4k3/8/8/8/8/8/8/4K3 w - - -1 1",
             "4k3/8/8/8/8/8/8/4K3 w - - 2147483648 1",
             "4k3/8/8/8/8/8/8/4K3 w - - 1x 1",
             "4k3/8/8/8/8/8/8/4K3 w - - 0 one",
             "4k3/4Q3/8/8/8/8/8/4K3 w - - 0 1",
         })
        EXPECT_NE(Board::fenProblem(fen), "") << fen;
}

}  // namespace
