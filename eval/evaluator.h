#pragma once

#include <cstdint>
#include <iosfwd>

#include "board/board.h"
#include "eval/pawn_table.h"
#include "eval/score.h"
#include "eval/square_sets.h"

// One colour's evaluation terms, middlegame and endgame side by side.
struct SideTerms {
    Score material;  // pieces and pawns
    Score pieceSquare;
    Score pawnStructure;  // doubled, isolated, backward and passed pawns
    Score kingSafety;     // pawn shelter and storm; counts in the middlegame only
    Score mobility;
    Score attackScore;  // the attack on the enemy king, once two pieces join it
    Score rookBonus;    // rooks on open and semi-open files
    Score total;        // the sum of the terms above
    int attackWeightSum = 0;
    int attackerCount = 0;
    int tapered = 0;  // total blended by the game phase

    [[nodiscard]] bool operator==(const SideTerms&) const = default;
};

// Everything one evaluation computed, kept for the report.
struct EvalState {
    SideTerms side[2];
    int phase = 0;  // 0 (bare kings and pawns) to MAX_PHASE
};

// The static score of the position on a board. One instance serves a board
// on which moves are made and taken back; each rating reads the board anew,
// and finds the terms of the pawns alone in its pawn table.
class Evaluator {
public:
    explicit Evaluator(const Board& board) : board(board) {}

    // The score of side less that of its opponent, in centipawns.
    // Allocates nothing and records no terms; the search calls it at every node.
    [[nodiscard]] int getRating(int side);
    // Knights, bishops, rooks and queens of side.
    [[nodiscard]] int numMajorMinor(int side) const;
    // Every term of the board's position, worked out anew.
    [[nodiscard]] const EvalState& terms();
    // The table of those terms, with the totals seen from the side to move.
    void print(std::ostream& out);

private:
    // The rating's work, recording the terms in state or not; inlined into
    // the two copies getRating picks from, a portable one and one built for
    // processors with a population-count instruction, and into terms.
    template <bool recordTerms>
    [[nodiscard]] int rate(int side);
    [[nodiscard]] int ratePortable(int side);
    [[nodiscard]] int rateWithPopulationCount(int side);

    const Board& board;

    eval::PawnTable pawnTable;

    EvalState state;
};
