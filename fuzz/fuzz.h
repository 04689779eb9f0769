// What the fuzz targets share. A broken check prints what broke and aborts,
// which libFuzzer reports as a crash and saves the input that caused it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/board_checks.h"

inline void require(bool holds, const std::string& what) {
    if (holds) return;
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

inline void requireSound(const Board& board) {
    const std::string problem = boardProblem(board);
    require(problem.empty(), problem + " in " + board.toFen());
}
