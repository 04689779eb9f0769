#include "eval/report.h"

#include <iomanip>
#include <ostream>
#include <sstream>
#include <string>

namespace {

constexpr int LABEL_WIDTH = 17;
constexpr int NUMBER_WIDTH = 10;
constexpr int LINE_WIDTH = 60;

struct TermRow {
    const char* label;
    Score SideTerms::*term;
};

constexpr TermRow TERM_ROWS[] = {
    {"Material", &SideTerms::material},
    {"Piece Square", &SideTerms::pieceSquare},
    {"Pawn Structure", &SideTerms::pawnStructure},
    {"King Safety", &SideTerms::kingSafety},
    {"Mobility", &SideTerms::mobility},
    {"Attackability", &SideTerms::attackScore},
    {"Rook Bonus", &SideTerms::rookBonus},
    {"Subtotal", &SideTerms::total},
};

// A line under construction: a label padded on the right, a gap, then
// number cells padded on the left. A cell only pads; a wider value is
// written in full. The caller's stream keeps its formatting.
class Line {
public:
    explicit Line(const char* label) { text << std::left << std::setw(LABEL_WIDTH) << label << ' ' << std::right; }

    template <typename T>
    Line& cell(const T& value) {
        text << std::setw(NUMBER_WIDTH) << value;
        return *this;
    }
    Line& gap() {
        text << ' ';
        return *this;
    }
    void writeTo(std::ostream& out) const { out << text.str() << std::endl; }

private:
    std::ostringstream text;
};

// White middlegame, black middlegame, white endgame, black endgame; the two
// colours of a phase are a gap apart, the two phases are not.
template <typename T>
void writeColumns(std::ostream& out, const char* label, const T& whiteMG, const T& blackMG, const T& whiteEG,
                  const T& blackEG) {
    Line(label).cell(whiteMG).gap().cell(blackMG).cell(whiteEG).gap().cell(blackEG).writeTo(out);
}

void writeSummary(std::ostream& out, const char* label, int value) { Line(label).cell(value).writeTo(out); }

}  // namespace

void printEvalReport(std::ostream& out, const EvalState& state, int sideToMove) {
    writeColumns(out, " ", "WHITE MG", "BLACK MG", "WHITE EG", "BLACK EG");
    const SideTerms& white = state.side[WHITE];
    const SideTerms& black = state.side[BLACK];
    for (const TermRow& row : TERM_ROWS) {
        const Score& w = white.*row.term;
        const Score& b = black.*row.term;
        writeColumns(out, row.label, w.mg, b.mg, w.eg, b.eg);
    }
    out << std::string(LINE_WIDTH, '-') << std::endl;

    const SideTerms& own = state.side[sideToMove];
    const SideTerms& other = state.side[sideToMove ^ 1];
    writeSummary(out, "MG Score", own.total.mg - other.total.mg);
    writeSummary(out, "EG Score", own.total.eg - other.total.eg);
    writeSummary(out, "Game Phase", state.phase);
    writeSummary(out, "Tapered Score", own.tapered - other.tapered);
}

void Evaluator::print(std::ostream& out) { printEvalReport(out, terms(), board.getTurn()); }
