#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "eval/evaluator.h"
#include "eval/report.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
}

// The report of a rating, printed twice to show that printing changes nothing.
std::string reportAfterRating(const std::string& fen) {
    const Board board(fen);
    Evaluator evaluator(board);
    (void)evaluator.getRating(board.getTurn());
    std::ostringstream first, second;
    evaluator.print(first);
    evaluator.print(second);
    EXPECT_EQ(first.str(), second.str()) << fen;
    return first.str();
}

TEST(EvalReport, PositionsPrintExactly) {
    struct Case {
        const char* fen;
        const char* report;
    };
    const Case cases[] = {
        {START_FEN,
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
        {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1",
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
    for (const Case& c : cases) EXPECT_EQ(reportAfterRating(c.fen), c.report) << c.fen;
}

// Cells pad and never cut: a value wider than its field pushes the rest of
// the line to the right.
TEST(EvalReport, WideAndNegativeValues) {
    EvalState state;
    state.side[WHITE].material = Score::both(-1234567890);
    state.side[BLACK].mobility = {-7, 12345678};
    state.side[WHITE].total = {2000000000, -5};
    state.side[BLACK].total = {-100000000, 5};
    state.side[WHITE].tapered = 1000000000;
    state.side[BLACK].tapered = -1000000000;
    state.phase = 12;

    struct Case {
        int sideToMove;
        std::size_t line;
        const char* text;
    };
    const Case cases[] = {
        {WHITE, 1, "Material          -1234567890          0-1234567890          0"},
        {WHITE, 5, "Mobility                   0         -7         0   12345678"},
        {WHITE, 8, "Subtotal          2000000000 -100000000        -5          5"},
        {WHITE, 10, "MG Score          2100000000"},
        {WHITE, 11, "EG Score                 -10"},
        {WHITE, 12, "Game Phase                12"},
        {WHITE, 13, "Tapered Score     2000000000"},
        {BLACK, 1, "Material          -1234567890          0-1234567890          0"},
        {BLACK, 10, "MG Score          -2100000000"},
        {BLACK, 11, "EG Score                  10"},
        {BLACK, 13, "Tapered Score     -2000000000"},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        printEvalReport(out, state, c.sideToMove);
        const std::vector<std::string> lines = linesOf(out.str());
        ASSERT_EQ(lines.size(), 14u);
        EXPECT_EQ(lines[c.line], c.text) << "side to move " << c.sideToMove << ", line " << c.line;
    }
}

}  // namespace
