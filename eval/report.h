#pragma once

#include <iosfwd>

#include "eval/evaluator.h"

// Writes the evaluation table: one row per term with the middlegame and
// endgame values of each colour, then the totals seen from sideToMove.
void printEvalReport(std::ostream& out, const EvalState& state, int sideToMove);
