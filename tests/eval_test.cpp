#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/epd.h"
#include "eval/evaluator.h"
#include "eval/report.h"

namespace {

// A position and the report the evaluator prints after rating it for the
// side to move: every term of both colours, both phases, and the taper.
struct ReportCase {
    std::string fen;
    std::string report;
};

std::vector<ReportCase> reportCases() {
    std::vector<ReportCase> cases;
    std::ifstream file(MARROWBY_TEST_DATA "/evaluation_reports.txt");
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("fen ", 0) == 0)
            cases.push_back({line.substr(4), ""});
        else if (!line.empty() && !cases.empty())
            cases.back().report += line + "\n";
    }
    return cases;
}

TEST(Evaluation, ReportsOfWorkedPositions) {
    const auto cases = reportCases();
    ASSERT_GE(cases.size(), 25u);
    for (const ReportCase& c : cases) {
        const Board board(c.fen);
        Evaluator evaluator(board);
        const int rating = evaluator.getRating(board.getTurn());
        EXPECT_EQ(evaluator.getRating(board.getTurn() ^ 1), -rating) << c.fen;
        const SideTerms(&sides)[2] = evaluator.terms().side;
        EXPECT_EQ(sides[board.getTurn()].tapered - sides[board.getTurn() ^ 1].tapered, rating) << c.fen;
        std::ostringstream report;
        evaluator.print(report);
        EXPECT_EQ(report.str(), c.report) << c.fen;
    }
}

// Cells pad and never cut: a value wider than its field pushes the rest of
// the line to the right.
TEST(Evaluation, ReportOfWideValues) {
    EvalState state;
    state.side[WHITE].material = Score::both(-1234567890);
    state.side[WHITE].total = {2000000000, -5};
    state.side[BLACK].total = {-100000000, 5};
    state.side[WHITE].tapered = 1000000000;
    state.side[BLACK].tapered = -1000000000;
    state.phase = 12;
    std::ostringstream white, black;
    printEvalReport(white, state, WHITE);
    printEvalReport(black, state, BLACK);
    for (const char* line :
         {"Material          -1234567890          0-1234567890          0",
          "Subtotal          2000000000 -100000000        -5          5", "MG Score          2100000000",
          "Game Phase                12", "Tapered Score     2000000000"})
        EXPECT_NE(white.str().find(std::string("\n") + line + "\n"), std::string::npos) << line << "\n" << white.str();
    for (const char* line : {"MG Score          -2100000000", "Tapered Score     -2000000000"})
        EXPECT_NE(black.str().find(std::string("\n") + line + "\n"), std::string::npos) << line << "\n" << black.str();
}

// The position turned upside down with the colours swapped and the other side
// to move; castling rights, the en passant square and the counters play no
// part in the score.
std::string mirrored(const std::string& fen) {
    std::istringstream fields(fen);
    std::string placement, turn;
    fields >> placement >> turn;
    std::istringstream rows(placement);
    std::string result;
    for (std::string row; std::getline(rows, row, '/');) {
        for (char& c : row) c = static_cast<char>(std::isupper(c) ? std::tolower(c) : std::toupper(c));
        result = row + (result.empty() ? "" : "/") + result;
    }
    return result + (turn == "w" ? " b" : " w") + " - - 0 1";
}

TEST(Evaluation, MirroredPositionsScoreAlike) {
    std::vector<std::string> fens;
    for (const ReportCase& c : reportCases()) fens.push_back(c.fen);
    for (const SuitePosition& position : readSuite(MARROWBY_TEST_DATA "/perftsuite.epd")) fens.push_back(position.fen);
    for (const std::string& fen : fens) {
        const Board board(fen), mirror(mirrored(fen));
        Evaluator original(board), flipped(mirror);
        EXPECT_EQ(original.getRating(board.getTurn()), flipped.getRating(mirror.getTurn())) << fen;
        EXPECT_TRUE(original.terms().side[WHITE] == flipped.terms().side[BLACK]) << fen;
        EXPECT_TRUE(original.terms().side[BLACK] == flipped.terms().side[WHITE]) << fen;
    }
}

}  // namespace
