#pragma once

#include <algorithm>
#include <cstdint>
#include <iosfwd>

// The search bench: fixed-depth searches of a fixed list of positions, each
// from an emptied table. Its total node count is the search's signature: a
// change that is not meant to alter the search leaves it equal.
struct BenchResult {
    std::int64_t nodes;
    double seconds;

    [[nodiscard]] std::int64_t nodesPerSecond() const {
        return static_cast<std::int64_t>(static_cast<double>(nodes) / std::max(seconds, 1e-9));
    }
};

// A position of a bench, as FEN, and the depth it is searched or walked to.
struct BenchPosition {
    const char* fen;
    int depth;
};

// Runs the bench, writing one line per position to out. A positive depth
// replaces every position's own depth.
BenchResult runSearchBench(int depth, std::ostream& out);
