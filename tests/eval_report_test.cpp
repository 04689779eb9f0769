#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

#include "board/board.h"
#include "eval/evaluator.h"
#include "eval/report.h"

namespace {

// The report after a rating of the side to move, printed twice to show that
// printing changes nothing.
TEST(EvalReport, PositionsPrintExactly) {
    struct Case {
        const char* fen;
        int rating;
        const char* report;
    };
    const Case cases[] = {
        {START_FEN, 0,
         "                    WHITE MG   BLACK MG  WHITE EG   BLACK EG\n"
         "Material                4095       4095      4095       4095\n"
         "Piece Square            -109       -109      -143       -143\n"
         "Pawn Structure             0          0         0          0\n"
         "King Safety                0          0         0          0\n"
         "Mobility                  16         16        16         16\n"
         "Attackability              0          0         0          0\n"
         "Rook Bonus                 0          0         0          0\n"
         "Subtotal                4002       4002      3968       3968\n"
         "------------------------------------------------------------\n"
         "MG Score                   0\n"
         "EG Score                   0\n"
         "Game Phase                24\n"
         "Tapered Score              0\n"},
        // Black to move: the summary is black's view, the rows stay white then black.
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", -54,
         "                    WHITE MG   BLACK MG  WHITE EG   BLACK EG\n"
         "Material                4095       4095      4095       4095\n"
         "Piece Square             -75       -109      -109       -143\n"
         "Pawn Structure             0          0         0          0\n"
         "King Safety                0          0         0          0\n"
         "Mobility                  36         16        40         16\n"
         "Attackability              0          0         0          0\n"
         "Rook Bonus                 0          0         0          0\n"
         "Subtotal                4056       4002      4026       3968\n"
         "------------------------------------------------------------\n"
         "MG Score                 -54\n"
         "EG Score                 -58\n"
         "Game Phase                24\n"
         "Tapered Score            -54\n"},
    };
    for (const Case& c : cases) {
        const Board board(c.fen);
        Evaluator evaluator(board);
        EXPECT_EQ(evaluator.getRating(board.getTurn() ^ 1), -c.rating) << c.fen;
        EXPECT_EQ(evaluator.getRating(board.getTurn()), c.rating) << c.fen;
        std::ostringstream first, second;
        evaluator.print(first);
        evaluator.print(second);
        EXPECT_EQ(first.str(), c.report) << c.fen;
        EXPECT_EQ(second.str(), c.report) << c.fen;
    }
}

// Cells pad and never cut: a value wider than its field pushes the rest of
// the line to the right.
TEST(EvalReport, WideAndNegativeValues) {
    EvalState state;
    state.side[WHITE].material = Score::both(-1234567890);
    state.side[WHITE].total = {2000000000, -5};
    state.side[BLACK].total = {-100000000, 5};
    state.side[WHITE].tapered = 1000000000;
    state.side[BLACK].tapered = -1000000000;
    state.phase = 12;
    const std::pair<int, std::string> cases[] = {
        {WHITE, "Material          -1234567890          0-1234567890          0"},
        {WHITE, "Subtotal          2000000000 -100000000        -5          5"},
        {WHITE, "MG Score          2100000000"},
        {WHITE, "Game Phase                12"},
        {WHITE, "Tapered Score     2000000000"},
        {BLACK, "MG Score          -2100000000"},
        {BLACK, "Tapered Score     -2000000000"},
    };
    for (const auto& [sideToMove, line] : cases) {
        std::ostringstream out;
        printEvalReport(out, state, sideToMove);
        EXPECT_NE(out.str().find('\n' + line + '\n'), std::string::npos) << sideToMove << " to move:\n" << out.str();
    }
}

}  // namespace
